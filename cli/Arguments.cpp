#include "cli/Arguments.h"

#include <algorithm>
#include <utility>

namespace cli {

namespace {

bool isHelp(const std::string& a) {
    return a == "--help" || a == "-h" || a == "/?" || a == "-?";
}

// A word that is no option: a value, or the command. A lone "-" and negative numbers are values,
// so that "-5" is refused as a sequence number rather than as an option.
bool isWord(const std::string& a) {
    if (a.size() < 2 || a[0] != '-')
        return true;
    return std::all_of(a.begin() + 1, a.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::optional<std::string> Arguments::value(std::string_view option) const {
    const auto found = options.find(option);
    if (found == options.end())
        return std::nullopt;
    return found->second;
}

std::optional<std::uint64_t> parseCount(const std::string& text, std::uint64_t most) {
    // 19 digits stay below 2^64: a longer number would wrap.
    if (text.empty() || text.size() > 19)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > most)
        return std::nullopt;
    return value;
}

std::optional<std::int64_t> parseDays(const std::string& text) {
    if (text.size() < 2 || (text.back() != 'd' && text.back() != 'D'))
        return std::nullopt;
    // 0d would reach every point but the newest: the smallest age is one day.
    const auto days = parseCount(text.substr(0, text.size() - 1), 100000);
    if (!days || *days == 0)
        return std::nullopt;
    return static_cast<std::int64_t>(*days);
}

std::optional<UsageProblem> parseArguments(const std::vector<std::string>& arguments, Arguments& parsed) {
    std::vector<std::string> words;
    std::vector<std::string> typed; // the options as typed, in order, for the check below
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (!optionsEnded && isHelp(a)) {
            parsed.help = true;
            continue;
        }
        if (optionsEnded || isWord(a)) {
            words.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = a;
        std::optional<std::string> inlineValue;
        if (const auto equals = a.find('='); a.starts_with("--") && equals != std::string::npos) {
            name = a.substr(0, equals);
            inlineValue = a.substr(equals + 1);
        }
        const OptionSpec* option = findOption(name);
        if (name == "--version" && !inlineValue) {
            parsed.version = true;
        } else if (!option || (!option->valueName && inlineValue)) {
            return UsageProblem{"ErreurOption", a};
        } else if (!option->valueName) {
            parsed.options[name] = "";
            typed.push_back(name);
        } else {
            if (!inlineValue && i + 1 < arguments.size())
                inlineValue = arguments[++i];
            if (!inlineValue || inlineValue->empty())
                return UsageProblem{"ErreurValeur", name};
            parsed.options[name] = *inlineValue;
            typed.push_back(name);
        }
    }

    if (!words.empty()) {
        parsed.commandName = words.front();
        if (parsed.version)
            return UsageProblem{"ErreurArgument", words.front()};
        parsed.command = findCommand(words.front());
        if (!parsed.command)
            return UsageProblem{"ErreurCommande", words.front()};
        parsed.values.assign(words.begin() + 1, words.end());
    }
    // Every command takes --json; alone, with the help or the version, it changes nothing.
    for (const std::string& name : typed)
        if (name != "--json" && (!parsed.command || !takesOption(*parsed.command, name)))
            return UsageProblem{"ErreurOption", name};
    parsed.json = parsed.has("--json");
    return std::nullopt;
}

} // namespace cli
