// Files and folders on the real kernel: the ANSI functions, with paths in the system code page.
#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/win32/Ansi.h"
#include "platform/win32/Services.h"

#include <windows.h>

#include <algorithm>

namespace platform::win32 {

namespace {

DWORD attributes(const std::string& path) {
    return GetFileAttributesA(ansi(path).c_str());
}

std::string withBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    return folder;
}

// The folder a file lies in, for a temporary file next to it.
std::string folderOf(const std::string& ansiPath) {
    const std::size_t slash = ansiPath.find_last_of("\\/");
    if (slash == std::string::npos)
        return ".";
    if (slash == 2 && ansiPath[1] == ':')
        return ansiPath.substr(0, 3);
    return ansiPath.substr(0, slash);
}

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    void close() {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE h_;
};

// Removes a folder and what it holds. A junction or symbolic link is removed itself and never
// entered: its target may lie anywhere, outside the folder being deleted.
void removeTree(const std::string& ansiFolder) {
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((ansiFolder + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = ansiFolder + "\\" + name;
            const DWORD kind = entry.dwFileAttributes;
            if ((kind & FILE_ATTRIBUTE_READONLY) && !(kind & FILE_ATTRIBUTE_REPARSE_POINT))
                SetFileAttributesA(path.c_str(), kind & ~FILE_ATTRIBUTE_READONLY);
            if (!(kind & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA(path.c_str());
            else if (kind & FILE_ATTRIBUTE_REPARSE_POINT)
                RemoveDirectoryA(path.c_str());
            else
                removeTree(path);
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(ansiFolder.c_str());
}

bool writeAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return FlushFileBuffers(file) != 0;
}

} // namespace

bool Win32FileSystem::fileExists(const std::string& path) const {
    const DWORD a = attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::folderExists(const std::string& path) const {
    const DWORD a = attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::rename(const std::string& from, const std::string& to) {
    return MoveFileA(ansi(from).c_str(), ansi(to).c_str()) != 0;
}

bool Win32FileSystem::copy(const std::string& from, const std::string& to) {
    return CopyFileA(ansi(from).c_str(), ansi(to).c_str(), FALSE) != 0;
}

bool Win32FileSystem::deleteFile(const std::string& path) {
    return DeleteFileA(ansi(path).c_str()) != 0;
}

bool Win32FileSystem::createFolder(const std::string& path) {
    return CreateDirectoryA(ansi(path).c_str(), nullptr) != 0;
}

bool Win32FileSystem::deleteTree(const std::string& path) {
    const DWORD kind = attributes(path);
    if (kind == INVALID_FILE_ATTRIBUTES || !(kind & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    std::string folder = ansi(path);
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    if (kind & FILE_ATTRIBUTE_REPARSE_POINT)
        RemoveDirectoryA(folder.c_str()); // a link planted in the folder's place: only the link goes
    else
        removeTree(folder);
    return !folderExists(path);
}

std::optional<std::uint64_t> Win32FileSystem::freeBytes(const std::string& root) const {
    ULARGE_INTEGER available{}, total{}, free{};
    if (!GetDiskFreeSpaceExA(ansi(root).c_str(), &available, &total, &free))
        return std::nullopt;
    return available.QuadPart;
}

std::string Win32FileSystem::tempFolder() const {
    char buffer[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof buffer, buffer);
    if (length == 0 || length > MAX_PATH)
        throw Error("GetTempPath: " + systemMessage(GetLastError()));
    return withBackslash(utf8(std::string(buffer, length)));
}

std::string Win32FileSystem::currentFolder() const {
    char buffer[MAX_PATH + 1];
    const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    if (length == 0 || length > MAX_PATH)
        throw Error("GetCurrentDirectory: " + systemMessage(GetLastError()));
    return withBackslash(utf8(std::string(buffer, length)));
}

std::optional<std::string> Win32FileSystem::readFile(const std::string& path) const {
    Handle file(CreateFileA(ansi(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return std::nullopt;
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    return bytes;
}

std::optional<FileStamp> Win32FileSystem::stamp(const std::string& path) const {
    Handle file(CreateFileA(ansi(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    const auto join = [](DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; };
    const auto modified = static_cast<std::int64_t>(
        join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime));
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    // Write times move in ticks of up to two seconds on some file systems: a file written within
    // the last tick may change again in place without a new stamp.
    constexpr std::int64_t kTick = 2 * 10'000'000; // 100 ns units
    const auto nowTicks = static_cast<std::int64_t>(join(now.dwHighDateTime, now.dwLowDateTime));
    return FileStamp{join(info.nFileSizeHigh, info.nFileSizeLow), modified,
                     join(info.nFileIndexHigh, info.nFileIndexLow), nowTicks - modified < kTick};
}

void Win32FileSystem::writeFile(const std::string& path, const std::string& bytes) {
    const Error failure = unableToWrite(path);
    const std::string target = ansi(path);
    const DWORD existing = GetFileAttributesA(target.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES &&
        (existing & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        throw failure;
    // A temporary file in the same folder, moved over the target once whole: old or new, never torn.
    char temp[MAX_PATH + 1];
    if (!GetTempFileNameA(folderOf(target).c_str(), "kst", 0, temp))
        throw failure;
    Handle file(CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const bool written = file.valid() && writeAll(file.get(), bytes);
    file.close();
    if (!written || !MoveFileExA(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temp);
        throw failure;
    }
}

std::vector<std::string> Win32FileSystem::list(const std::string& folder) const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((withBackslash(ansi(folder)) + "*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = entry.cFileName;
        if (name != "." && name != "..")
            names.push_back(utf8(name));
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    // NTFS lists by name without regard to case; other file systems (and Wine) do not.
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return text::compareIgnoreCase(a, b) < 0; });
    return names;
}

} // namespace platform::win32
