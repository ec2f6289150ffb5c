// Environment, clock, sleep and working set on the real kernel, and the system's error texts.
#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/win32/Ansi.h"
#include "platform/win32/Services.h"

#include <windows.h>

#include <vector>

namespace platform::win32 {

namespace {

// Between two code pages through UTF-16; characters the target lacks become its default one.
std::string convert(const std::string& bytes, UINT from, UINT to) {
    const DWORD flags = to == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(from, 0, bytes.data(), size, nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(from, 0, bytes.data(), size, wide.data(), static_cast<int>(wide.size()));
    const int wideSize = static_cast<int>(wide.size());
    std::string out(static_cast<std::size_t>(
                        WideCharToMultiByte(to, flags, wide.data(), wideSize, nullptr, 0, nullptr, nullptr)),
                    '\0');
    WideCharToMultiByte(to, flags, wide.data(), wideSize, out.data(), static_cast<int>(out.size()), nullptr,
                        nullptr);
    return out;
}

} // namespace

// Windows-1252 systems keep the program's own table, which the files share; the others convert
// with their code page, so that a Cyrillic or Greek description does not come out as "????".
std::string ansi(const std::string& utf8Text, unsigned codePage) {
    const UINT page = codePage ? codePage : GetACP();
    return page == 1252 ? text::toCp1252(utf8Text) : convert(utf8Text, CP_UTF8, page);
}

std::string utf8(const std::string& ansiBytes, unsigned codePage) {
    const UINT page = codePage ? codePage : GetACP();
    return page == 1252 ? text::fromCp1252(ansiBytes) : convert(ansiBytes, page, CP_UTF8);
}

const Win32CodePage& systemCodePage() {
    static const Win32CodePage codePage;
    return codePage;
}

std::string systemFolder() {
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(folder, length);
}

std::string windowsFolder() {
    char folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        throw Error("GetWindowsDirectory: " + systemMessage(GetLastError()));
    std::string path = utf8(std::string(folder, length));
    return path.back() == '\\' ? path : path + "\\";
}

void* loadSystemLibrary(const char* name) {
    const std::string folder = systemFolder();
    if (folder.empty())
        return nullptr;
    // Its own dependencies are looked up beside it too.
    return LoadLibraryExA((folder + "\\" + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

std::string systemMessage(unsigned long code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string message = length ? std::string(buffer, length) : "error " + std::to_string(code);
    LocalFree(buffer);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return utf8(message);
}

bool runningOnWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::optional<std::string> Win32Environment::get(const std::string& name) const {
    const std::string ansiName = ansi(name);
    std::vector<char> value(256);
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD length = GetEnvironmentVariableA(ansiName.c_str(), value.data(), value.size());
        if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND)
            return std::nullopt;
        if (length < value.size())
            return utf8(std::string(value.data(), length));
        value.resize(length); // too small: length is the size needed, with the zero
    }
}

void Win32Process::sleep(std::uint32_t milliseconds) {
    Sleep(milliseconds);
}

std::int64_t Win32Process::nowMs() {
    // GetTickCount wraps after 49 days and GetTickCount64 is not on XP: count the wraps (the
    // program asks the time from its one thread, often enough to see each wrap).
    static DWORD last = 0;
    static std::int64_t wraps = 0;
    const DWORD now = GetTickCount();
    if (now < last)
        ++wraps;
    last = now;
    return (wraps << 32) + now;
}

std::int64_t Win32Process::unixSeconds() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    // 100 ns ticks since 1601-01-01; 11644473600 seconds lie between 1601 and 1970.
    return static_cast<std::int64_t>(ticks / 10000000) - 11644473600LL;
}

void Win32Process::trimWorkingSet() {
    const HANDLE process = OpenProcess(PROCESS_SET_QUOTA, FALSE, GetCurrentProcessId());
    if (!process)
        return;
    SetProcessWorkingSetSize(process, static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
    CloseHandle(process);
}

} // namespace platform::win32
