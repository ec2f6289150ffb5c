#pragma once
// The repair of a damaged System Restore installation without the Windows CD: the services it
// needs, two system files put back from the machine's own caches, the association of the
// component file type .htc, three libraries registered again, then a restart. And the reinstall
// line handed to the system's setup-file installer, which needs the CD.
#include "platform/FileSystem.h"
#include "platform/Registry.h"

#include <array>
#include <string>
#include <vector>

namespace config {

// The command runner's parameters, word for word (the service tool takes "remote" as written).
inline constexpr std::array<const char*, 4> serviceCommands{
    "/c sc config remote srservice start= auto",
    "/c sc start remote srservice",
    "/c sc config remote schedule start= auto",
    "/c sc start remote schedule",
};
inline constexpr std::array<const char*, 3> registrationCommands{
    "/c regsvr32 /s jscript.dll",
    "/c regsvr32 /s vbscript.dll",
    "/c regsvr32 /s mshtml.dll",
};
inline constexpr const char* restartCommand = "/c shutdown -r -t 0";
// The setup file's path is fixed: it does not follow the Windows folder.
inline constexpr const char* reinstallCommandLine =
    "rundll32.exe advpack.dll,LaunchINFSection C:\\Windows\\Inf\\sr.inf";

// One system file: copied from the first source that exists to every target, in order.
struct FileRestoration {
    std::vector<std::string> sources;
    std::vector<std::string> targets;
};

// Framedyn.dll then srclient.dll, for the Windows folder given (the system folder is its system32).
std::vector<FileRestoration> fileRestorations(const std::string& windowsFolder);

// Carries out the restorations; a file without any source is left as it is. Copies are not checked.
void restoreFiles(platform::FileSystem& files, const std::vector<FileRestoration>& restorations);

// One REG_SZ write under HKEY_CLASSES_ROOT; an empty name is the key's default value.
struct ClassesValue {
    std::string key;
    std::string name;
    std::string data;
};

// The .htc association in writing order, for the system folder given.
std::vector<ClassesValue> htcAssociation(const std::string& systemFolder);

// Writes the values, opening each key (created when missing) under the given root; a key that
// cannot be opened is skipped. A refused write throws the registry layer's error.
void writeClassesValues(platform::Registry& registry, platform::RegRoot root,
                        const std::vector<ClassesValue>& values);

// The root ("C:\") of a folder path ("C:\Program Files\Kestrafen\").
std::string driveRoot(const std::string& folder);

} // namespace config
