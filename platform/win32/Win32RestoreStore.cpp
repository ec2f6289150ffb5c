// System Restore's store, readable by SYSTEM only: an administrator reads it with the backup
// privilege, which lets a file opened with backup semantics be read whatever its ACL says. The
// store is never written and its ACL and owner are left as they are.
#include "platform/Text.h"
#include "platform/win32/Ansi.h"
#include "platform/win32/Services.h"

#include <windows.h>

namespace platform::win32 {

namespace {

std::string withBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    return folder;
}

} // namespace

// Once per run; without the privilege (no administrator) reads simply fail as they would anyway.
void enableBackupPrivilege() {
    static const bool done = [] {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
            return false;
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        const bool ok = LookupPrivilegeValueA(nullptr, "SeBackupPrivilege", &privileges.Privileges[0].Luid) &&
                        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        CloseHandle(token);
        return ok;
    }();
    (void)done;
}

std::optional<std::string> Win32RestoreStore::storeFolder(const std::string& root) {
    enableBackupPrivilege();
    const std::string info = root.substr(0, 2) + "\\System Volume Information\\";
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA(ansi(info + "_restore{*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::optional<std::string> found;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            found = info + utf8(entry.cFileName) + "\\";
    } while (!found && FindNextFileA(search, &entry));
    FindClose(search);
    return found;
}

std::vector<StoreEntry> Win32RestoreStore::list(const std::string& folder) {
    enableBackupPrivilege();
    std::vector<StoreEntry> entries;
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((withBackslash(ansi(folder)) + "*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return entries;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::uint64_t size =
            (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
        entries.push_back({utf8(name), size, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return entries;
}

std::optional<std::string> Win32RestoreStore::read(const std::string& path) {
    enableBackupPrivilege();
    const HANDLE file = CreateFileA(ansi(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::optional<std::string> bytes = std::string();
    char buffer[65536];
    DWORD got = 0;
    while (true) {
        if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
            bytes.reset();
            break;
        }
        if (got == 0)
            break;
        bytes->append(buffer, got);
    }
    CloseHandle(file);
    return bytes;
}

std::optional<std::string> Win32RestoreStore::volumeDevice(const std::string& drive) {
    char target[1024];
    if (drive.size() < 2 || QueryDosDeviceA(drive.substr(0, 2).c_str(), target, sizeof target) == 0)
        return std::nullopt;
    return utf8(target); // the first of the names, up to its zero
}

bool Win32FileSystem::inUse(const std::string& path) const {
    const HANDLE file = CreateFileA(ansi(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

} // namespace platform::win32
