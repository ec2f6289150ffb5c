// Starting programs through the shell and the kernel.
#include "platform/Text.h"
#include "platform/win32/Ansi.h"
#include "platform/win32/Com.h"
#include "platform/win32/Services.h"

#include <windows.h> // first: the headers below need its types

#include <exdisp.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <string_view>

namespace platform::win32 {

namespace {

// The command interpreter's own commands, which no file on disk provides.
bool isInterpreterCommand(const std::string& word) {
    static constexpr std::array<std::string_view, 26> kCommands = {
        "CALL",  "CD",  "CHDIR", "CLS",    "COPY",  "DEL",   "DIR",   "ECHO", "ERASE",
        "EXIT",  "FOR", "GOTO",  "IF",     "MD",    "MKDIR", "MOVE",  "PATH", "POPD",
        "PUSHD", "RD",  "REN",   "RENAME", "RMDIR", "SET",   "START", "TYPE"};
    for (const std::string_view command : kCommands)
        if (text::equalsIgnoreCase(word, command))
            return true;
    return false;
}

// The command line with its program named by its full path in the system folder: a bare name is
// otherwise looked for in the current and the program's folder first, where anyone who could
// write there would run with the program's rights. Paths and variables stay as written.
// Empty when the system folder is unknown: then nothing is started.
std::string withSystemProgram(const std::string& commandLine) {
    const std::string folder = systemFolder();
    if (folder.empty())
        return {};
    const std::size_t start = commandLine.find_first_not_of(' ');
    if (start == std::string::npos)
        return commandLine;
    const std::size_t end = std::min(commandLine.find(' ', start), commandLine.size());
    const std::string program = commandLine.substr(start, end - start);
    if (program.find_first_of("\\/:%\"") != std::string::npos || isInterpreterCommand(program))
        return commandLine;
    std::string path = folder + "\\" + program + (program.find('.') == std::string::npos ? ".exe" : "");
    if (path.find(' ') != std::string::npos)
        path = "\"" + path + "\"";
    return commandLine.substr(0, start) + path + commandLine.substr(end);
}

VARIANT number(LONG value) {
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_I4;
    variant.lVal = value;
    return variant;
}

// The desktop's own shell (Explorer), which runs with the user's rights: whatever it starts does
// not inherit the program's. Nothing where no desktop shell runs.
bool desktopShell(ComPtr<IShellDispatch2>& shell) {
    ComPtr<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                                reinterpret_cast<void**>(windows.out()))))
        return false;
    VARIANT desktop = number(CSIDL_DESKTOP), empty;
    VariantInit(&empty);
    LONG window = 0;
    ComPtr<IDispatch> found;
    if (windows->FindWindowSW(&desktop, &empty, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, found.out()) !=
            S_OK ||
        !found)
        return false;
    ComPtr<IServiceProvider> provider;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IShellFolderViewDual> folderView;
    ComPtr<IDispatch> application;
    return SUCCEEDED(found->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(provider.out()))) &&
           SUCCEEDED(provider->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                            reinterpret_cast<void**>(browser.out()))) &&
           SUCCEEDED(browser->QueryActiveShellView(view.out())) &&
           SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, IID_IShellFolderViewDual,
                                         reinterpret_cast<void**>(folderView.out()))) &&
           SUCCEEDED(folderView->get_Application(application.out())) &&
           SUCCEEDED(application->QueryInterface(IID_IShellDispatch2, reinterpret_cast<void**>(shell.out())));
}

bool startFromDesktop(const std::string& file, const std::string& parameters) {
    const ComScope com;
    ComPtr<IShellDispatch2> shell;
    if (!desktopShell(shell))
        return false;
    const Bstr program(file);
    VARIANT arguments, folder, operation;
    VariantInit(&arguments);
    VariantInit(&folder);
    VariantInit(&operation);
    arguments.vt = VT_BSTR;
    arguments.bstrVal = SysAllocString(Bstr(parameters).get());
    const VARIANT show = number(SW_SHOWNORMAL);
    const bool started = SUCCEEDED(shell->ShellExecute(program.get(), arguments, folder, operation, show));
    VariantClear(&arguments);
    return started;
}

} // namespace

Win32Shell::~Win32Shell() {
    forgetCommand();
}

void Win32Shell::forgetCommand() {
    for (void** handle : {&job_, &process_}) {
        if (*handle)
            CloseHandle(*handle);
        *handle = nullptr;
    }
}

void Win32Shell::runCommand(const std::string& parameters) {
    std::string line = ansi(parameters);
    // "/c program ...": the interpreter and the program it starts, both from the system folder.
    if (line.size() > 3 && line[0] == '/' && (line[1] == 'c' || line[1] == 'C') && line[2] == ' ')
        line = "/c " + withSystemProgram(line.substr(3));
    const std::string folder = systemFolder();
    if (folder.empty() || line == "/c ")
        return;
    const std::string interpreter = folder + "\\cmd.exe";
    std::string commandLine = "\"" + interpreter + "\" " + line;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started{};
    forgetCommand();
    // Suspended until it is in a job, so that whatever it starts is counted with it.
    if (!CreateProcessA(interpreter.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, nullptr, &startup, &started))
        return;
    job_ = CreateJobObjectA(nullptr, nullptr);
    if (job_ && !AssignProcessToJobObject(job_, started.hProcess)) { // already in a job that allows none
        CloseHandle(job_);
        job_ = nullptr;
    }
    ResumeThread(started.hThread);
    CloseHandle(started.hThread);
    process_ = started.hProcess;
}

bool Win32Shell::commandRunning() {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION job{};
    if (job_ &&
        QueryInformationJobObject(job_, JobObjectBasicAccountingInformation, &job, sizeof job, nullptr))
        return job.ActiveProcesses > 0;
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void Win32Shell::winExec(const std::string& commandLine) {
    const std::string line = withSystemProgram(ansi(commandLine));
    if (!line.empty())
        WinExec(line.c_str(), SW_SHOW);
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
    if (startFromDesktop(file, parameters))
        return;
    ShellExecuteA(nullptr, nullptr, ansi(file).c_str(), ansi(parameters).c_str(), "", SW_SHOWNORMAL);
}

} // namespace platform::win32
