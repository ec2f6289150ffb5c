// What System Restore's stores hold on each drive. The stores sit in System Volume Information,
// which only the system may open: read with the backup privilege as the saved files are, and when
// even that is refused the answer is "unknown", never "empty".
#include "platform/win32/Services.h"

#include <windows.h>

#include <cctype>
#include <optional>
#include <string_view>

namespace platform::win32 {

namespace {

// Calls `each` for every entry of a folder but "." and ".."; false when the folder cannot be
// listed for another reason than being absent (reported through `absent`).
template <typename Each> bool forEachEntry(const std::string& folder, Each each, bool* absent = nullptr) {
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        if (absent)
            *absent = missing;
        return missing && absent;
    }
    bool ok = true;
    do {
        const std::string name = entry.cFileName;
        if (name != "." && name != "..")
            ok = each(name, entry);
    } while (ok && FindNextFileA(search, &entry));
    FindClose(search);
    return ok;
}

bool isFolder(const WIN32_FIND_DATAA& entry) {
    // A reparse point is not followed: it would count another folder's bytes here.
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool addBytes(const std::string& folder, std::uint64_t& bytes) {
    return forEachEntry(folder, [&](const std::string& name, const WIN32_FIND_DATAA& entry) {
        if (isFolder(entry))
            return addBytes(folder + "\\" + name, bytes);
        bytes += (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
        return true;
    });
}

// The service's own names are ASCII.
bool startsWith(const std::string& name, std::string_view prefix) {
    if (name.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

bool isPointFolder(const std::string& name) {
    return name.size() > 2 && startsWith(name, "RP") &&
           name.find_first_not_of("0123456789", 2) == std::string::npos;
}

} // namespace

std::optional<StoreUsage> Win32SystemRestore::storeUsage(const std::string& root) {
    enableBackupPrivilege(); // listings open folders for backup, past the store's ACL
    const std::string volumeInfo = root.substr(0, 2) + "\\System Volume Information";
    StoreUsage usage;
    bool absent = false;
    const bool read = forEachEntry(
        volumeInfo,
        [&](const std::string& name, const WIN32_FIND_DATAA& entry) {
            if (!isFolder(entry) || !startsWith(name, "_restore"))
                return true;
            const std::string store = volumeInfo + "\\" + name;
            return forEachEntry(store,
                                [&](const std::string& inner, const WIN32_FIND_DATAA& innerEntry) {
                                    usage.points += isFolder(innerEntry) && isPointFolder(inner);
                                    return true;
                                }) &&
                   addBytes(store, usage.bytes);
        },
        &absent);
    if (!read)
        return std::nullopt;
    return usage; // an absent folder: no store, nothing used
}

} // namespace platform::win32
