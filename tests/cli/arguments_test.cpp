// The command line's form: ages, counts and which options each command takes.
#include "cli/Arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ParseDays, WholeDaysFollowedByD) {
    const auto none = std::optional<std::int64_t>();
    const std::vector<std::pair<std::string, std::optional<std::int64_t>>> cases{
        {"30d", 30}, {"0d", 0},     {"30D", 30},    {"100000d", 100000}, {"100001d", none}, {"30", none},
        {"d", none}, {"-1d", none}, {"3.5d", none}, {"30w", none},       {"", none}};
    for (const auto& [text, days] : cases)
        EXPECT_EQ(cli::parseDays(text), days) << text;
}

TEST(ParseArguments, OptionsBelongToTheirCommands) {
    struct Case {
        std::vector<std::string> args;
        const char* problemKey; // "" when the line is well formed
    };
    const std::vector<Case> cases{
        {{"list", "--json"}, ""},
        {{"status", "--json", "--help"}, ""},
        {{"delete", "--older-than=3d", "--keep=2", "--dry-run"}, ""},
        {{"create", "--", "-titre"}, ""},
        {{"create", "--json", "x"}, "ErreurOption"},
        {{"list", "--dry-run"}, "ErreurOption"},
        {{"status", "--keep", "2"}, "ErreurOption"},
        {{"delete", "--keep"}, "ErreurValeur"},
        {{"delete", "--older-than="}, "ErreurValeur"},
        {{"list", "--json=yes"}, "ErreurOption"},
        {{"remove", "3"}, "ErreurCommande"},
        {{"--help", "list"}, "ErreurArgument"},
    };
    for (const Case& c : cases) {
        cli::Arguments parsed;
        const auto problem = cli::parseArguments(c.args, parsed);
        EXPECT_EQ(problem ? problem->key : std::string(), c.problemKey) << testing::PrintToString(c.args);
    }
}

TEST(ParseArguments, ValuesAndAnEndOfOptions) {
    cli::Arguments parsed;
    ASSERT_FALSE(cli::parseArguments({"delete", "12", "--keep", "3", "14", "--yes"}, parsed));
    EXPECT_EQ(parsed.command, cli::Command::Delete);
    EXPECT_EQ(parsed.values, (std::vector<std::string>{"12", "14"}));
    EXPECT_EQ(parsed.keep, "3");
    EXPECT_TRUE(parsed.yes && !parsed.dryRun);

    cli::Arguments title;
    ASSERT_FALSE(cli::parseArguments({"create", "--", "--yes", "/?"}, title));
    EXPECT_EQ(title.values, (std::vector<std::string>{"--yes", "/?"}));
    EXPECT_FALSE(title.help);
}

} // namespace
