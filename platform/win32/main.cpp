// Kestrafen on Windows: the program on the machine's own services, drawn with native controls.
// Started with arguments it runs one command of its command line instead, writing to the
// standard handles it was given or else to the console of its parent. The same code builds
// kestrafen.exe (window subsystem) and its console twin kestrafen.com, which cmd and PowerShell
// wait for.
#include "app/Startup.h"
#include "cli/CommandLine.h"
#include "platform/win32/Ansi.h"
#include "platform/win32/Services.h"
#include "platform/win32/StandardOutput.h"
#include "platform/win32/Win32Backend.h"
#include "ui/Application.h"

#include <windows.h> // first: the headers below need its types

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <exception>
#include <string>
#include <vector>

namespace {

// The folder of the executable, with a trailing backslash.
std::string programFolder() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return platform::win32::utf8(folder.substr(0, folder.find_last_of('\\') + 1));
}

std::string fromWide(const wchar_t* wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string text(length > 0 ? length - 1 : 0, '\0');
    if (length > 1)
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), length, nullptr, nullptr);
    return text;
}

// The arguments after the program's name, as UTF-8, split by the system's own rules.
std::vector<std::string> commandArguments() {
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; words && i < count; ++i)
        arguments.push_back(fromWide(words[i]));
    if (words)
        LocalFree(words);
    return arguments;
}

int runCommand(const std::vector<std::string>& arguments) {
    platform::win32::StandardOutput console;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); // WMI, as for the window
    int code = cli::failed;
    try {
        platform::win32::Win32Platform machine(programFolder());
        platform::Platform platform = machine.platform();
        code = cli::run(arguments, platform, console);
    } catch (const std::exception& error) {
        console.err(std::string(error.what()) + "\n");
    }
    CoUninitialize();
    return code;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::vector<std::string> arguments = commandArguments();
    if (!arguments.empty())
        return runCommand(arguments);

    InitCommonControls();                              // the themed controls of the manifest's comctl32 6
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); // WMI and the shell, on the program's one thread
    // Once for the process, before any interface is handed out: WMI may impersonate the caller
    // (System Restore asks this of its callers). A failure leaves COM's defaults, which the
    // connection then reports.
    CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                         RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    try {
        const std::string folder = programFolder();
        // The program expects to be started in its own folder (relative file names go there).
        SetCurrentDirectoryA(platform::win32::ansi(folder).c_str());
        platform::win32::Win32Backend backend;
        ui::Application app(backend);
        platform::win32::Win32Platform machine(folder);
        platform::Platform platform = machine.platform();
        Startup program(app, platform);
        program.start();
        program.run();
    } catch (const std::exception& error) {
        MessageBoxA(nullptr, platform::win32::ansi(error.what()).c_str(), "Kestrafen", MB_OK | MB_ICONERROR);
        CoUninitialize();
        return 1;
    }
    CoUninitialize();
    return 0;
}
