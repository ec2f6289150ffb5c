// Small operations of the main window shared by several commands.
#include "app/Unit1.h"
#include "platform/Registry.h"

void TForm1::ScanGUID() {
    machineGuid = "?";
    auto key = platform.registry.open(platform::RegRoot::LocalMachine,
                                      "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SystemRestore\\Cfg", false);
    if (!key || !key->valueExists("MachineGuid"))
        return;
    try {
        machineGuid = platform::reg::readString(*key, "MachineGuid");
    } catch (const std::exception&) {
        machineGuid = "?"; // a value of another type is as good as none here
    }
}

void TForm1::TrimWorkingSet() {
    platform.process.trimWorkingSet();
}

bool TForm1::DeleteFolder(const std::string& path) {
    if (!platform.files.folderExists(path))
        return false;
    return platform.files.deleteTree(path);
}
