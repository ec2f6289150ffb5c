#pragma once
// A fresh folder in the temporary folder for one test, deleted with its content afterwards.
#include "platform/win32/Services.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace testing_support {

class Scratch {
public:
    Scratch() {
        static int count = 0;
        path_ = files_.tempFolder() + "kestrafen-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++count) + "\\";
        files_.createFolder(path_);
    }
    ~Scratch() { files_.deleteTree(path_); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    // The folder, with a trailing backslash.
    const std::string& path() const { return path_; }

private:
    platform::win32::Win32FileSystem files_;
    std::string path_;
};

// The value of a variable the test script sets, or the empty text.
inline std::string scriptSetting(const char* name) {
    return platform::win32::Win32Environment().get(name).value_or("");
}

// Tests that change the machine (HKLM, System Restore's settings, its points, a roll-back) run
// only under Wine: on a real Windows they would switch System Restore off, deleting every point.
#define KESTRAFEN_ONLY_UNDER_WINE()                                                                          \
    if (!platform::win32::runningOnWine())                                                                   \
    GTEST_SKIP() << "changes this machine's registry and System Restore: runs only under Wine"

} // namespace testing_support
