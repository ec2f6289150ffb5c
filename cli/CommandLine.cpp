#include "cli/CommandLine.h"

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Session.h"
#include "update/VersionCheck.h"

#include <exception>

namespace cli {

namespace {

void item(Session& s, const std::string& usage, const char* key) {
    s.out("  " + usage);
    s.out("      " + s.text(key));
}

void commandHelp(Session& s, const CommandSpec& command, bool withOptions) {
    for (const UsageLine& line : command.usages)
        item(s, line.usage, line.helpKey);
    if (!withOptions)
        return;
    for (const char* name : command.options)
        if (const OptionSpec* option = findOption(name); option->helpKey)
            item(s, std::string(name) + (option->valueName ? std::string(" ") + option->valueName : ""),
                 option->helpKey);
    item(s, "--json", findOption("--json")->helpKey);
}

// The help of one command, or of all of them with the table of exit codes.
void help(Session& s, const CommandSpec* command) {
    if (command) {
        commandHelp(s, *command, true);
        return;
    }
    s.out(std::string("Kestrafen ") + update::kOwnVersion);
    s.out(s.text("CommandeAide"));
    s.out("");
    for (const CommandSpec& c : commands())
        commandHelp(s, c, false);
    item(s, "kestrafen [command] --help | /?", "OptionAide");
    item(s, "kestrafen --version", "OptionVersion");
    s.out("");
    s.out(s.text("CodesSortie"));
    for (int code = done; code <= lastExitCode; ++code)
        s.out("  " + std::to_string(code) + "  " + s.text("Sortie" + std::to_string(code)));
}

int runParsed(Session& s, const std::vector<std::string>& arguments) {
    Arguments a;
    if (const auto problem = parseArguments(arguments, a)) {
        s.err(s.text(problem->key, {problem->value}));
        s.err(s.text("ErreurAide", {"kestrafen " + (a.command ? a.commandName + " " : "") + "--help"}));
        return usageError;
    }
    if (a.version) {
        s.out(std::string("Kestrafen ") + update::kOwnVersion);
        return done;
    }
    if (a.help || !a.command) {
        help(s, a.command);
        return done;
    }
    const int code = a.command->run(s, a);
    if (code == usageError)
        s.err(s.text("ErreurAide", {"kestrafen " + a.commandName + " --help"}));
    return code;
}

} // namespace

int run(const std::vector<std::string>& arguments, platform::Platform& platform, Console& console) {
    try {
        Session s(platform, console);
        int code = done;
        try {
            code = runParsed(s, arguments);
        } catch (const std::exception& error) {
            code = s.fail(error);
        }
        // Output that did not reach its reader is no success (a full disk, a console that refused).
        return code == done && s.writeFailed() ? failed : code;
    } catch (const std::exception& error) {
        console.err(std::string(error.what()) + "\n");
        return failed;
    }
}

} // namespace cli
