#pragma once
// What every window shares for the whole run: the platform, the program and system folders, the
// System Restore object, the three ini files, the machine identifier and the current language.
// The start-up creates it before any window and hands it to each.
#include "lang/Language.h"
#include "platform/Platform.h"

#include <memory>
#include <string>

class SharedState {
public:
    explicit SharedState(platform::Platform& platform);

    platform::Platform& platform;
    std::string programFolder; // with a trailing backslash
    // Read from the environment by the main window's creation.
    std::string windowsFolder;
    std::string systemDrive;
    std::string systemFolder;
    std::string userProfile;
    // The System Restore object; null when it could not be obtained at start.
    std::unique_ptr<platform::SrAutomation> systemRestore;
    // The three ini files only name their file, so they exist from the start on and a failed
    // creation step cannot leave a later handler without them.
    platform::IniFile pointCache;
    platform::IniFile languageFile;
    platform::IniFile settingsFile;
    std::string machineGuid;
    lang::Language language;

    // Removes res, res.cab and KestrafenTemp.ini from the program folder; missing files are fine.
    void removeTemporaryFiles();
    // 200 MiB or less free for the caller on the system drive (an unreadable drive counts as none).
    bool systemDriveLow() const;
    // A file of the program folder, as a full path.
    std::string inProgramFolder(const std::string& name) const { return programFolder + name; }
    // The System Restore object; throws platform::Error with a clear text when there is none.
    platform::SrAutomation& automation() const;
    // The text of a key in the current language at this moment.
    std::string lookup(const std::string& key, const std::string& frenchDefault) const {
        return language.lookup(key, frenchDefault);
    }
    const lang::TextTable& texts() const { return language.texts(); }
};
