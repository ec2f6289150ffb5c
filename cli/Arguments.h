#pragma once
// The command line as typed: a command, its options and its values, checked for form only.
#include "cli/Commands.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cli {

struct Arguments {
    const CommandSpec* command = nullptr; // none: the general help, or the version
    std::string commandName;              // as typed
    bool help = false;
    bool version = false;
    bool json = false;
    std::vector<std::string> values; // what is not an option: the title, the sequence numbers
    std::map<std::string, std::string, std::less<>> options; // the others, by name; "" for a switch

    bool has(std::string_view option) const { return options.find(option) != options.end(); }
    std::optional<std::string> value(std::string_view option) const;
};

// What is wrong with a command line: the key of the message and the text put in it.
struct UsageProblem {
    std::string key;
    std::string value;
};

// Splits the arguments (the program's name excluded). Options may stand before or after the
// command; "--" ends them, so a title may start with "-", and "-5" is a value, not an option;
// "--name=value" is the same as "--name value"; "/?", "-?", "-h" and "--help" ask for the help.
// An option the command does not take, or one lacking its value, is a problem.
std::optional<UsageProblem> parseArguments(const std::vector<std::string>& arguments, Arguments& parsed);

// "30d": whole days, 1 to 100000; nothing for any other form.
std::optional<std::int64_t> parseDays(const std::string& text);
// A whole number from 0 to `most`, digits only; never wrapped, however many digits.
std::optional<std::uint64_t> parseCount(const std::string& text, std::uint64_t most);

} // namespace cli
