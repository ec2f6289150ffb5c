#include "config/DiskShare.h"

#include "config/RestoreSettings.h"
#include "platform/Error.h"

namespace config {

namespace {
constexpr const char* valueName = "DiskPercent";
}

std::optional<std::int32_t> parsePercent(std::string_view text) {
    const std::optional<std::int32_t> value = parseInteger(text);
    if (!value || *value < 1 || *value > 100)
        return std::nullopt;
    return value;
}

std::int32_t readDiskPercent(platform::Registry& registry) {
    const auto key = registry.openFullAccess(platform::RegRoot::LocalMachine, systemRestoreKey);
    if (!key || !key->valueExists(valueName))
        return defaultDiskPercent;
    return static_cast<std::int32_t>(platform::reg::readInteger(*key, valueName));
}

void writeDiskPercent(platform::Registry& registry, std::int32_t percent) {
    const auto key = registry.openFullAccess(platform::RegRoot::LocalMachine, systemRestoreKey);
    if (!key)
        throw platform::registryWriteFailed(valueName);
    platform::reg::writeInteger(*key, valueName, static_cast<std::uint32_t>(percent));
}

std::vector<DriveShare> driveShares(platform::SystemRestore& service) {
    std::vector<DriveShare> shares;
    for (const platform::DriveState& drive : service.drives())
        if (drive.monitored != false)
            shares.push_back({drive.root, drive.totalBytes, service.storeUsage(drive.root)});
    return shares;
}

std::uint64_t capBytes(std::uint64_t totalBytes, std::int32_t percent) {
    // Whole hundredths first: a share of a 16 EB drive must not wrap.
    return totalBytes / 100 * static_cast<std::uint64_t>(percent) +
           totalBytes % 100 * static_cast<std::uint64_t>(percent) / 100;
}

} // namespace config
