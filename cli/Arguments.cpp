#include "cli/Arguments.h"

#include <array>
#include <utility>

namespace cli {

namespace {

struct CommandName {
    const char* name;
    Command command;
};

constexpr std::array<CommandName, 4> commands{{
    {"list", Command::List},
    {"create", Command::Create},
    {"delete", Command::Delete},
    {"status", Command::Status},
}};

bool isHelp(const std::string& a) {
    return a == "--help" || a == "-h" || a == "/?";
}

} // namespace

std::optional<std::uint64_t> parseCount(const std::string& text, std::uint64_t most) {
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
    const auto days = parseCount(text.substr(0, text.size() - 1), 100000);
    if (!days)
        return std::nullopt;
    return static_cast<std::int64_t>(*days);
}

std::optional<UsageProblem> parseArguments(const std::vector<std::string>& arguments, Arguments& parsed) {
    std::size_t i = 0;
    if (i < arguments.size()) {
        const std::string& first = arguments[i];
        if (isHelp(first)) {
            parsed.help = true;
            ++i;
        } else if (first == "--version") {
            parsed.version = true;
            ++i;
        } else {
            for (const auto& c : commands)
                if (first == c.name)
                    parsed.command = c.command;
            if (parsed.command == Command::None)
                return UsageProblem{"ErreurCommande", first};
            parsed.commandName = first;
            ++i;
        }
    }
    if (parsed.command == Command::None && i < arguments.size())
        return UsageProblem{"ErreurArgument", arguments[i]};

    const bool listing = parsed.command == Command::List || parsed.command == Command::Status;
    const bool deleting = parsed.command == Command::Delete;
    bool optionsEnded = false;
    for (; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (!optionsEnded && a == "/?") {
            parsed.help = true;
            continue;
        }
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            parsed.values.push_back(a);
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
        const auto takeValue = [&]() -> std::optional<std::string> {
            if (inlineValue)
                return inlineValue;
            if (i + 1 < arguments.size())
                return arguments[++i];
            return std::nullopt;
        };
        if (isHelp(name) && !inlineValue) {
            parsed.help = true;
        } else if (name == "--json" && listing && !inlineValue) {
            parsed.json = true;
        } else if (name == "--dry-run" && deleting && !inlineValue) {
            parsed.dryRun = true;
        } else if (name == "--yes" && deleting && !inlineValue) {
            parsed.yes = true;
        } else if ((name == "--older-than" || name == "--keep") && deleting) {
            auto value = takeValue();
            if (!value || value->empty())
                return UsageProblem{"ErreurValeur", name};
            (name == "--keep" ? parsed.keep : parsed.olderThan) = std::move(value);
        } else {
            return UsageProblem{"ErreurOption", a};
        }
    }
    return std::nullopt;
}

} // namespace cli
