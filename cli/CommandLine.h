#pragma once
// The program without its window: list, create, delete and status for scripts, scheduled tasks
// and administrators of many machines. Built on the window's own rules (restore/, config/,
// lang/); it never writes the point cache or the settings file that a running window uses, and
// never waits.
#include "platform/Platform.h"

#include <string>
#include <vector>

namespace cli {

// Where the commands write: standard output and standard error, UTF-8 text.
class Console {
public:
    virtual ~Console() = default;
    virtual void out(const std::string& text) = 0;
    virtual void err(const std::string& text) = 0;
};

enum ExitCode : int {
    done = 0,
    refused = 1,    // refused or failed; the reason went to standard error
    usageError = 2, // the command line itself is wrong
};

// Runs one command; `arguments` excludes the program's name. Returns the exit code.
int run(const std::vector<std::string>& arguments, platform::Platform& platform, Console& console);

} // namespace cli
