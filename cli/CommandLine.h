#pragma once
// The program without its window: list, create, delete and status for scripts, scheduled tasks
// and administrators of many machines. Built on the window's own rules (restore/, config/,
// lang/); it never writes the point cache or the settings file that a running window uses, and
// never waits.
//
// Conventions every command keeps (a new one plugs into the table of cli/Commands.cpp):
// - options stand before or after the command; "--" ends them; "/?" is the help;
// - --json writes one JSON value on standard output, English keys, ASCII only (cli/Json.h);
// - messages go to standard error in the user's language, results to standard output;
// - the exit code is one of the table below, which the README and --help show too.
#include "platform/Platform.h"

#include <string>
#include <vector>

namespace cli {

// Where the commands write: standard output and standard error, UTF-8 text. False when the text
// could not be written.
class Console {
public:
    virtual ~Console() = default;
    virtual bool out(const std::string& text) = 0;
    virtual bool err(const std::string& text) = 0;
};

enum ExitCode : int {
    done = 0,
    failed = 1,         // refused or failed for another reason, said on standard error
    usageError = 2,     // the command line itself is wrong
    serviceOff = 3,     // System Restore is switched off, not on, or out of reach
    serviceRefused = 4, // the service refused the request
    noSuchPoint = 5,    // no point has a sequence number given
    lowSpace = 6,       // too little free space on the system drive
    notConfirmed = 7,   // a deletion without --yes: nothing was deleted
};
inline constexpr int lastExitCode = notConfirmed;

// Runs one command; `arguments` excludes the program's name. Returns the exit code.
int run(const std::vector<std::string>& arguments, platform::Platform& platform, Console& console);

} // namespace cli
