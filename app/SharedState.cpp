#include "app/SharedState.h"

#include "platform/Error.h"
#include "restore/TemporaryFiles.h"

SharedState::SharedState(platform::Platform& platform)
    : platform(platform), programFolder(platform.programFolder),
      pointCache(platform.profile, programFolder + "KestrafenTemp.ini"),
      languageFile(platform.profile, programFolder + "langues.ini"),
      settingsFile(platform.profile, programFolder + "Kestrafen.ini"), language(languageFile) {}

platform::SrAutomation& SharedState::automation() const {
    if (!systemRestore)
        throw platform::automationFailed(
            "System Restore is not available: its automation object could not be created at start",
            "winmgmts:\\\\.\\root\\default:SystemRestore");
    return *systemRestore;
}

void SharedState::removeTemporaryFiles() {
    restore::removeTemporaryFiles(platform.files, programFolder);
}

bool SharedState::systemDriveLow() const {
    return restore::tooLittleSpace(restore::freeKilobytes(platform.files, systemDrive + "\\"));
}
