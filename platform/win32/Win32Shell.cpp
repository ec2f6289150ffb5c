// Starting programs through the shell and the kernel.
#include "platform/win32/Ansi.h"
#include "platform/win32/Services.h"

#include <windows.h> // first: the headers below need its types

#include <shellapi.h>

namespace platform::win32 {

void Win32Shell::runCommand(const std::string& parameters) {
    ShellExecuteA(GetActiveWindow(), nullptr, "CMD", ansi(parameters).c_str(), nullptr, SW_HIDE);
}

void Win32Shell::winExec(const std::string& commandLine) {
    WinExec(ansi(commandLine).c_str(), SW_SHOW);
}

std::optional<std::string> Win32Shell::findExecutable(const std::string& file) {
    // A bare document name is looked for in the temporary folder, where the program puts it.
    std::string name = ansi(file), folder;
    const std::size_t slash = name.find_last_of('\\');
    if (slash != std::string::npos) {
        folder = name.substr(0, slash + 1);
        name.erase(0, slash + 1);
    } else {
        folder = ansi(Win32FileSystem().tempFolder());
    }
    char result[MAX_PATH + 1] = {};
    const auto code = reinterpret_cast<INT_PTR>(FindExecutableA(name.c_str(), folder.c_str(), result));
    if (code <= 32 || result[0] == '\0')
        return std::nullopt;
    return utf8(result);
}

void Win32Shell::start(const std::string& file, const std::string& parameters) {
    ShellExecuteA(nullptr, nullptr, ansi(file).c_str(), ansi(parameters).c_str(), "", SW_SHOWNORMAL);
}

} // namespace platform::win32
