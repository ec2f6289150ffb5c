// What the simulated service's stores hold: each drive's size and its System Volume Information.
#include "platform/Text.h"
#include "platform/sim/Machine.h"
#include "platform/sim/Services.h"

#include <sys/stat.h>

namespace platform::sim {

namespace fs = std::filesystem;

namespace {

// As for files, a folder without any read bit is closed to the program even when root runs it.
bool readable(const fs::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && (st.st_mode & (S_IRUSR | S_IRGRP | S_IROTH)) != 0;
}

bool startsWithIgnoreCase(std::string_view name, std::string_view prefix) {
    return name.size() >= prefix.size() && text::equalsIgnoreCase(name.substr(0, prefix.size()), prefix);
}

bool isPointFolder(const fs::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    std::error_code ec;
    return entry.is_directory(ec) && !entry.is_symlink(ec) && startsWithIgnoreCase(name, "RP") &&
           name.size() > 2 && name.find_first_not_of("0123456789", 2) == std::string::npos;
}

// Adds one _restore{GUID} folder: the bytes of every file under it, links not followed, and its
// point folders. False when any folder on the way cannot be read.
bool addStore(const fs::path& store, StoreUsage& usage) {
    if (!readable(store))
        return false;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(store, ec))
        usage.points += isPointFolder(entry);
    if (ec)
        return false;
    for (fs::recursive_directory_iterator it(store, fs::directory_options::none, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (it->is_symlink(ec))
            continue;
        if (it->is_directory(ec) && !readable(it->path()))
            return false;
        if (it->is_regular_file(ec))
            usage.bytes += it->file_size(ec);
    }
    return !ec;
}

} // namespace

std::optional<StoreUsage> SimSystemRestore::storeUsage(const std::string& root) {
    m_.runDueActions();
    const auto volumeInfo = m_.paths().toHost(root.substr(0, 2) + "\\System Volume Information");
    std::error_code ec;
    if (!volumeInfo || !fs::is_directory(*volumeInfo, ec))
        return StoreUsage{};
    if (!readable(*volumeInfo))
        return std::nullopt;
    StoreUsage usage;
    for (const fs::directory_entry& entry : fs::directory_iterator(*volumeInfo, ec)) {
        if (entry.is_directory(ec) && !entry.is_symlink(ec) &&
            startsWithIgnoreCase(entry.path().filename().string(), "_restore") &&
            !addStore(entry.path(), usage))
            return std::nullopt;
    }
    if (ec)
        return std::nullopt;
    return usage;
}

// `total_bytes` of machine.json, else the size of the file system that holds the drive's folder.
std::optional<std::uint64_t> driveTotalBytes(Machine& m, const std::string& letter) {
    const auto& drive = m.state()["drives"][letter];
    if (drive.contains("total_bytes"))
        return drive["total_bytes"].get<std::uint64_t>();
    std::error_code ec;
    const fs::space_info space = fs::space(m.paths().drivesFolder() / text::upper(letter), ec);
    if (ec)
        return std::nullopt;
    return space.capacity;
}

} // namespace platform::sim
