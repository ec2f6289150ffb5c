#include "platform/win32/StandardOutput.h"

#include <windows.h>

#include <algorithm>

namespace platform::win32 {

namespace {

bool isConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != FALSE;
}

// A standard handle this program can write to: a file, a pipe, a device or its own console. A
// program of the window subsystem may inherit its parent's console handles without being attached
// to that console: writes to those fail, even an empty one, which a device such as NUL takes.
HANDLE usableHandle(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return nullptr;
    const DWORD type = GetFileType(handle);
    if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE || isConsole(handle))
        return handle;
    DWORD written = 0;
    if (type == FILE_TYPE_CHAR && WriteFile(handle, "", 0, &written, nullptr))
        return handle;
    return nullptr;
}

std::wstring wide(const std::string& utf8) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), length);
    return text;
}

} // namespace

bool writeInPieces(const std::wstring& text,
                   const std::function<unsigned long(const wchar_t*, unsigned long)>& write) {
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t length = std::min(text.size() - at, consolePiece);
        const wchar_t last = text[at + length - 1];
        if (at + length < text.size() && last >= 0xD800 && last <= 0xDBFF)
            --length; // the pair's first half goes with the second
        const unsigned long written = write(text.data() + at, static_cast<unsigned long>(length));
        if (written == 0)
            return false;
        at += std::min<std::size_t>(written, length);
    }
    return true;
}

StandardOutput::StandardOutput()
    : out_(usableHandle(STD_OUTPUT_HANDLE)), err_(usableHandle(STD_ERROR_HANDLE)) {
    if (out_ && err_)
        return;
    // What was not redirected goes to the console of the cmd window that started us, if any.
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    const HANDLE console =
        CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE)
        return;
    if (!out_)
        out_ = console;
    if (!err_)
        err_ = console;
}

// A console shows UTF-16 whatever its code page; a file, a pipe or a device gets the UTF-8 bytes.
// With nowhere to write (a window program started without a console), there is no reader to fail.
bool StandardOutput::write(void* handle, const std::string& text) {
    if (!handle || text.empty())
        return true;
    if (isConsole(handle)) {
        return writeInPieces(wide(text), [handle](const wchar_t* piece, unsigned long length) {
            DWORD written = 0;
            return WriteConsoleW(handle, piece, length, &written, nullptr) ? written : 0UL;
        });
    }
    std::size_t sent = 0;
    while (sent < text.size()) {
        DWORD written = 0;
        if (!WriteFile(handle, text.data() + sent, static_cast<DWORD>(text.size() - sent), &written,
                       nullptr) ||
            written == 0)
            return false; // a full disk, or a pipe whose reader is gone
        sent += written;
    }
    return true;
}

} // namespace platform::win32
