#pragma once
// System Restore's own store: on each drive it monitors, the folder
// "<drive>\System Volume Information\_restore{GUID}\" with one folder RPn per point. Only SYSTEM
// may read it: on Windows it is read with the backup privilege, and never written, nor its ACL
// or owner changed.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct StoreEntry {
    std::string name;
    std::uint64_t size = 0;
    bool folder = false;
};

class RestoreStore {
public:
    virtual ~RestoreStore() = default;
    // The store folder of a drive root ("C:\"), with a trailing backslash; nothing when the drive
    // holds none.
    virtual std::optional<std::string> storeFolder(const std::string& root) = 0;
    // The entries of a folder of a store ("." and ".." left out); empty when it is gone.
    virtual std::vector<StoreEntry> list(const std::string& folder) = 0;
    // A whole file of a store; nothing when it is gone or cannot be read.
    virtual std::optional<std::string> read(const std::string& path) = 0;
    // The device that a drive ("C:") names, as the logs write volume paths:
    // "\Device\HarddiskVolume1". Nothing when the system does not tell.
    virtual std::optional<std::string> volumeDevice(const std::string& drive) = 0;
};

} // namespace platform
