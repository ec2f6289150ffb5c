#include "restore/PointDetails.h"

#include "platform/Text.h"

#include <limits>
#include <stdexcept>

namespace restore {

std::vector<std::string> detailLines(const platform::IniFile& cache, const std::string& entry,
                                     const std::string& machineGuid, const Lookup& lookup) {
    const auto line = [&](const char* key, const char* frenchDefault, const std::string& value) {
        return lookup(key, frenchDefault) + " " + value;
    };
    return {line("GUID", "GUID :", machineGuid), "",
            line("Box1", "Dossier :", cache.readString(entry, "DirectoryName", "")),
            line("Box2", "Type de restauration :", cache.readString(entry, "Type", "")),
            line("Box3", "Numéro de séquence :", cache.readString(entry, "Number", ""))};
}

std::optional<std::int32_t> sequenceNumber(const platform::IniFile& cache, const std::string& entry) {
    const std::string stored = platform::text::trim(cache.readString(entry, "Number", ""));
    if (stored.empty())
        return std::nullopt;
    try {
        const long long n = platform::text::toInteger(stored);
        // 0 names no point: the service would refuse it, or roll back to nothing and restart.
        if (n <= 0 || n > std::numeric_limits<std::int32_t>::max())
            return std::nullopt;
        return static_cast<std::int32_t>(n);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool serviceHolds(platform::SystemRestore& service, std::int32_t sequenceNumber) {
    for (const platform::WmiInstance& point : service.restorePoints())
        for (const platform::WmiProperty& property : point)
            if (property.name == "SequenceNumber" && !property.value.isNull()) {
                try {
                    if (property.value.asInteger() == sequenceNumber)
                        return true;
                } catch (const std::exception&) {
                    // A number that does not convert names no point.
                }
            }
    return false;
}

} // namespace restore
