// Cabinet extraction through cabinet.dll's FDI interface. Every entry name is checked first, in a
// pass that writes nothing, so a cabinet holding a name that would land outside the folder leaves
// no trace; the second pass unpacks.
#include "platform/DeviceNames.h"
#include "platform/Error.h"
#include "platform/win32/Ansi.h"
#include "platform/win32/Services.h"

#include <windows.h> // first: the headers below need its types

#include <fcntl.h>
#include <fdi.h>

#include <algorithm>
#include <vector>

namespace platform::win32 {

namespace {

// FDI's file callbacks: plain handles of the kernel.
FNALLOC(fdiAlloc) {
    return HeapAlloc(GetProcessHeap(), 0, cb);
}
FNFREE(fdiFree) {
    HeapFree(GetProcessHeap(), 0, pv);
}
// How long a cabinet that another program holds without sharing is waited for.
constexpr DWORD kSharingWaitMs = 5000;

FNOPEN(fdiOpen) {
    (void)pmode;
    const bool write = oflag & (_O_WRONLY | _O_RDWR);
    if (write) {
        const HANDLE file = CreateFileA(pszFile, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        return file == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<INT_PTR>(file);
    }
    // The diagnostic tool may still be writing the cabinet: share its writes, and wait a while
    // for one that holds the file without sharing.
    const DWORD started = GetTickCount();
    for (;;) {
        const HANDLE file = CreateFileA(pszFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return reinterpret_cast<INT_PTR>(file);
        if (GetLastError() != ERROR_SHARING_VIOLATION || GetTickCount() - started >= kSharingWaitMs)
            return -1;
        Sleep(100);
    }
}
FNREAD(fdiRead) {
    DWORD got = 0;
    return ReadFile(reinterpret_cast<HANDLE>(hf), pv, cb, &got, nullptr) ? got : static_cast<UINT>(-1);
}
FNWRITE(fdiWrite) {
    DWORD written = 0;
    return WriteFile(reinterpret_cast<HANDLE>(hf), pv, cb, &written, nullptr) ? written
                                                                              : static_cast<UINT>(-1);
}
FNCLOSE(fdiClose) {
    return CloseHandle(reinterpret_cast<HANDLE>(hf)) ? 0 : -1;
}
FNSEEK(fdiSeek) {
    return static_cast<__LONG32>(SetFilePointer(reinterpret_cast<HANDLE>(hf), dist, nullptr, seektype));
}

// An entry name as the folder-relative path it would be written to, or nothing when it could land
// outside the folder (an absolute name, a drive or stream ":", a ".." component anywhere) or
// would not be the file it names (a device name, a trailing dot or blank, a wildcard or a
// character the code page lacks, which became "?").
std::optional<std::string> safeRelativePath(std::string name) {
    std::replace(name.begin(), name.end(), '/', '\\');
    const bool control = std::any_of(name.begin(), name.end(), [](char c) { return c >= 0 && c < ' '; });
    if (name.empty() || name.front() == '\\' || name.find_first_of(":*?\"<>|") != std::string::npos ||
        control)
        return std::nullopt;
    std::string relative;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('\\', start);
        if (end == std::string::npos)
            end = name.size();
        const std::string component = name.substr(start, end - start);
        if (component == ".." || platform::isDeviceOrAlteredName(component))
            return std::nullopt;
        if (!component.empty() && component != ".")
            relative += (relative.empty() ? "" : "\\") + component;
        start = end + 1;
    }
    if (relative.empty())
        return std::nullopt;
    return relative;
}

struct Run {
    std::string folder;  // ANSI, with a trailing backslash
    bool unpack = false; // false: only look at the names
    std::vector<std::string> unsafe;
    std::string failed; // the entry that could not be written
};

// An entry name as the bytes the file functions will be given: in the system's code page unless
// flagged as UTF-8, which is converted without look-alikes (a full-width "\uFF0E" stays no dot).
std::string entryBytes(const FDINOTIFICATION& note) {
    return (note.attribs & _A_NAME_IS_UTF) ? ansi(note.psz1) : std::string(note.psz1);
}

// Creates every folder on the way to a path (those that exist already just fail).
void createFolders(const std::string& ansiPath) {
    for (std::size_t slash = ansiPath.find('\\'); slash != std::string::npos;
         slash = ansiPath.find('\\', slash + 1))
        CreateDirectoryA(ansiPath.substr(0, slash).c_str(), nullptr);
}

bool folderExistsAnsi(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FNFDINOTIFY(notify) {
    auto& run = *static_cast<Run*>(pfdin->pv);
    switch (fdint) {
    case fdintCOPY_FILE: {
        // Checked as the system will read the bytes used, not as the cabinet spelled them.
        const std::string bytes = entryBytes(*pfdin);
        const std::string name = utf8(bytes);
        const auto relative = safeRelativePath(name);
        if (!relative) {
            run.unsafe.push_back(name);
            return 0; // skipped
        }
        if (!run.unpack)
            return 0;
        const std::string target = run.folder + ansi(*relative);
        createFolders(target);
        const INT_PTR file = fdiOpen(const_cast<char*>(target.c_str()), _O_WRONLY | _O_CREAT | _O_TRUNC, 0);
        if (file == -1)
            run.failed = name;
        return file;
    }
    case fdintCLOSE_FILE_INFO:
        fdiClose(pfdin->hf);
        return TRUE;
    default:
        return 0;
    }
}

std::string reason(const ERF& erf) {
    switch (erf.erfOper) {
    case FDIERROR_CABINET_NOT_FOUND:
        return "the file cannot be opened";
    case FDIERROR_NOT_A_CABINET:
    case FDIERROR_UNKNOWN_CABINET_VERSION:
        return "not a cabinet file";
    case FDIERROR_CORRUPT_CABINET:
    case FDIERROR_BAD_COMPR_TYPE:
        return "the cabinet is damaged";
    case FDIERROR_MDI_FAIL:
        return "the compressed data are damaged";
    case FDIERROR_TARGET_FILE:
        return "an unpacked file cannot be written";
    case FDIERROR_ALLOC_FAIL:
        return "out of memory";
    default:
        return "error " + std::to_string(erf.erfOper);
    }
}

// cabinet.dll's FDI functions, found at run time in the system folder: the library is no known
// DLL of XP, so a copy beside the program would be the one a static import loads.
struct FdiFunctions {
    decltype(&FDICreate) create = nullptr;
    decltype(&FDICopy) copy = nullptr;
    decltype(&FDIDestroy) destroy = nullptr;
};

template <class Function> Function function(HMODULE library, const char* name) {
    // Through a generic function type: the exported address has the type its caller declares.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

const FdiFunctions& fdiFunctions() {
    static FdiFunctions functions;
    if (!functions.destroy) {
        const auto library = static_cast<HMODULE>(loadSystemLibrary("cabinet.dll"));
        if (!library)
            throw Error("cabinet.dll: " + systemMessage(GetLastError()));
        functions.create = function<decltype(&FDICreate)>(library, "FDICreate");
        functions.copy = function<decltype(&FDICopy)>(library, "FDICopy");
        functions.destroy = function<decltype(&FDIDestroy)>(library, "FDIDestroy");
        if (!functions.create || !functions.copy || !functions.destroy) {
            functions.destroy = nullptr;
            throw Error("cabinet.dll: " + systemMessage(ERROR_PROC_NOT_FOUND));
        }
    }
    return functions;
}

class Fdi {
public:
    Fdi()
        : functions_(fdiFunctions()), handle_(functions_.create(fdiAlloc, fdiFree, fdiOpen, fdiRead, fdiWrite,
                                                                fdiClose, fdiSeek, cpuUNKNOWN, &erf)) {}
    ~Fdi() {
        if (handle_)
            functions_.destroy(handle_);
    }
    BOOL copy(char* cabinet, char* folder, PFNFDINOTIFY notify, void* context) {
        return functions_.copy(handle_, cabinet, folder, 0, notify, nullptr, context);
    }
    Fdi(const Fdi&) = delete;
    Fdi& operator=(const Fdi&) = delete;
    HFDI get() const { return handle_; }
    ERF erf{};

private:
    const FdiFunctions& functions_;
    HFDI handle_;
};

} // namespace

void Win32Cabinet::extract(const std::string& cabinetPath, const std::string& folder) {
    const std::string name = cabinetPath;
    std::string cabinet = ansi(cabinetPath);
    const DWORD attributes = GetFileAttributesA(cabinet.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw Error(name + ": the cabinet does not exist");
    const std::size_t slash = cabinet.find_last_of("\\/");
    std::string cabinetFolder = slash == std::string::npos ? "" : cabinet.substr(0, slash + 1);
    std::string cabinetName = cabinet.substr(slash == std::string::npos ? 0 : slash + 1);

    Fdi fdi;
    if (!fdi.get())
        throw Error(name + ": cannot unpack the cabinet: " + reason(fdi.erf));
    Run run;
    run.folder = ansi(folder);
    if (run.folder.empty() || run.folder.back() != '\\')
        run.folder += '\\';
    if (!fdi.copy(cabinetName.data(), cabinetFolder.data(), notify, &run))
        throw Error(name + ": cannot read the cabinet: " + reason(fdi.erf));
    if (!run.unsafe.empty())
        throw Error(name + ": unsafe file name '" + run.unsafe.front() + "' in cabinet");

    createFolders(run.folder);
    if (!folderExistsAnsi(run.folder))
        throw Error(name + ": cannot unpack the cabinet into " + folder);
    run.unpack = true;
    if (!fdi.copy(cabinetName.data(), cabinetFolder.data(), notify, &run)) {
        if (!run.failed.empty())
            throw Error(name + ": cannot unpack '" + run.failed + "': " + reason(fdi.erf));
        throw Error(name + ": cannot read the cabinet: " + reason(fdi.erf));
    }
}

} // namespace platform::win32
