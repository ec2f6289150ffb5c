#include "config/ExclusionLists.h"

#include "config/MultiString.h"
#include "platform/Error.h"

namespace config {

using platform::RegRoot;

std::optional<std::vector<std::string>> entryNames(platform::Registry& registry, const std::string& keyPath) {
    const auto key = registry.openFullAccess(RegRoot::LocalMachine, keyPath);
    if (!key)
        return std::nullopt;
    return key->valueNames();
}

std::vector<std::string> entryLines(platform::Registry& registry, const std::string& keyPath,
                                    const std::string& name) {
    const auto key = registry.open(RegRoot::LocalMachine, keyPath, true);
    if (!key)
        return {};
    return readLines(*key, name);
}

bool writeEntry(platform::Registry& registry, const std::string& keyPath, const std::string& name,
                const std::vector<std::string>& lines) {
    const auto key = registry.openFullAccess(RegRoot::LocalMachine, keyPath);
    if (!key)
        return false;
    try {
        key->write(name, {platform::RegType::MultiSz, multiStringBytes(lines, key->codePage())});
    } catch (const platform::Error&) {
        return false;
    }
    return true;
}

bool deleteEntry(platform::Registry& registry, const std::string& keyPath, const std::string& name) {
    const auto key = registry.openFullAccess(RegRoot::LocalMachine, keyPath);
    return key && key->deleteValue(name);
}

} // namespace config
