#pragma once
// One implementation of every platform service, handed to the main window at creation.
#include "platform/Cabinet.h"
#include "platform/Download.h"
#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "platform/RestoreStore.h"
#include "platform/Shell.h"
#include "platform/SystemRestore.h"

namespace platform {

struct Platform {
    Environment& environment;
    FileSystem& files;
    Profile& profile;
    Registry& registry;
    SystemRestore& systemRestore;
    Shell& shell;
    Cabinet& cabinet;
    Download& download;
    Process& process;
    RestoreStore& restoreStore;
    // The program folder as a Windows path with a trailing backslash.
    std::string programFolder;
};

} // namespace platform
