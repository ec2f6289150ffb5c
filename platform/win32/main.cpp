// Kestrafen on Windows: the program on the machine's own services, drawn with native controls.
#include "app/Startup.h"
#include "platform/win32/Ansi.h"
#include "platform/win32/Services.h"
#include "platform/win32/Win32Backend.h"
#include "ui/Application.h"

#include <windows.h> // first: the headers below need its types

#include <commctrl.h>
#include <objbase.h>

#include <exception>
#include <string>

namespace {

// The folder of the executable, with a trailing backslash.
std::string programFolder() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return platform::win32::utf8(folder.substr(0, folder.find_last_of('\\') + 1));
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
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
