#pragma once
// The command line as typed: a command, its options and its values, checked for form only.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cli {

enum class Command { None, List, Create, Delete, Status };

struct Arguments {
    Command command = Command::None;
    std::string commandName; // as typed
    bool help = false;
    bool version = false;
    bool json = false;
    bool dryRun = false;
    bool yes = false;
    std::vector<std::string> values; // what is not an option: the title, the sequence numbers
    std::optional<std::string> olderThan;
    std::optional<std::string> keep;
};

// What is wrong with a command line: the key of the message and the text put in it.
struct UsageProblem {
    std::string key;
    std::string value;
};

// Splits the arguments (the program's name excluded). "--" ends the options, so a title may start
// with "-"; "--name=value" is the same as "--name value". An option the command does not take,
// or one lacking its value, is a problem.
std::optional<UsageProblem> parseArguments(const std::vector<std::string>& arguments, Arguments& parsed);

// "30d": whole days, 0 to 100000; nothing for any other form.
std::optional<std::int64_t> parseDays(const std::string& text);
// A whole number from 0 to `most`, digits only.
std::optional<std::uint64_t> parseCount(const std::string& text, std::uint64_t most);

} // namespace cli
