#pragma once
// The table of commands: what each is called, the options it takes, its help and the function
// that runs it. A new command adds its row in Commands.cpp and its function here; --json and
// --help come with every command.
#include <string_view>
#include <vector>

namespace cli {

class Session;
struct Arguments;

// An option of some command: "--keep"; a value name for one that takes a value ("N").
struct OptionSpec {
    const char* name;
    const char* valueName; // nullptr for a switch
    const char* helpKey;   // nullptr when a usage line of the command says it
};

// One form of a command in its help: "kestrafen delete N [N...] [--yes]" and what it does.
struct UsageLine {
    const char* usage;
    const char* helpKey;
};

struct CommandSpec {
    const char* name;
    std::vector<UsageLine> usages;
    std::vector<const char*> options; // names of the option table, besides --json and --help
    // Says what went wrong and returns its exit code; a usage error gets the help hint added.
    int (*run)(Session&, const Arguments&);
};

const std::vector<CommandSpec>& commands();
const CommandSpec* findCommand(std::string_view name);
const OptionSpec* findOption(std::string_view name);
bool takesOption(const CommandSpec& command, std::string_view option);

int listCommand(Session& s, const Arguments& a);    // PointCommands.cpp
int createCommand(Session& s, const Arguments& a);  // PointCommands.cpp
int deleteCommand(Session& s, const Arguments& a);  // DeleteCommand.cpp
int statusCommand(Session& s, const Arguments& a);  // StatusCommand.cpp
int filesCommand(Session& s, const Arguments& a);   // FileCommands.cpp
int recoverCommand(Session& s, const Arguments& a); // FileCommands.cpp
int configCommand(Session& s, const Arguments& a);  // ConfigCommand.cpp

} // namespace cli
