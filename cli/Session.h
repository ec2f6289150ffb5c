#pragma once
// What every command needs: the machine, the console, the texts of the user's language, and the
// points as the window lists them.
#include "cli/CommandLine.h"
#include "lang/Language.h"
#include "platform/Platform.h"
#include "restore/PointList.h"
#include "restore/ServiceState.h"

#include <exception>
#include <initializer_list>
#include <string>
#include <vector>

namespace cli {

class Session {
public:
    Session(platform::Platform& platform, Console& console);

    // A text of the command line in the user's language, its values put in for %1 and %2.
    std::string text(const std::string& key, std::initializer_list<std::string> values = {}) const;
    // A line on standard output or standard error; a line that could not be written is remembered.
    void out(const std::string& line);
    void err(const std::string& line);
    bool writeFailed() const { return writeFailed_; }

    // Says an error in the user's language and returns its exit code: System Restore out of reach
    // for a failure of its service, a plain failure otherwise.
    int fail(const std::exception& error);
    // True, after saying why, when System Restore is switched off: nothing to list then.
    bool refuseWhenOff() { return refuse(false); }
    // True, after saying why, when System Restore is not on: the window's buttons that change the
    // points are disabled then, and so are the commands.
    bool refuseUnlessOn() { return refuse(true); }

    // The points the service lists, oldest first, as the window orders them.
    std::vector<restore::ListedPoint> points();
    // One of them as a line of the text list.
    std::string pointLine(const restore::ListedPoint& p) const;

    platform::Platform& platform;
    std::string systemDrive;

private:
    bool refuse(bool unlessOn);

    Console& console_;
    platform::IniFile languageFile_;
    lang::Language language_;
    bool writeFailed_ = false;
};

} // namespace cli
