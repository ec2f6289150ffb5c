// The command line's form: ages, counts and which options each command takes.
#include "cli/Arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ParseDays, WholeDaysFollowedByD) {
    const auto none = std::optional<std::int64_t>();
    // "0d" would be every point but the newest.
    const std::vector<std::pair<std::string, std::optional<std::int64_t>>> cases{
        {"30d", 30}, {"1d", 1},     {"30D", 30},    {"100000d", 100000}, {"100001d", none}, {"30", none},
        {"d", none}, {"-1d", none}, {"3.5d", none}, {"30w", none},       {"", none},        {"0d", none}};
    for (const auto& [text, days] : cases)
        EXPECT_EQ(cli::parseDays(text), days) << text;
    for (const char* big : {"18446744073709551617d", "000000000000000000030d"}) // 20 digits never wrap
        EXPECT_EQ(cli::parseDays(big), none) << big;
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
        {{"create", "--json", "x"}, ""},
        {{"--json", "list"}, ""},
        {{"--keep", "2", "--dry-run", "delete", "--older-than", "3d"}, ""},
        {{"/?", "delete"}, ""},
        {{"--help", "list"}, ""},
        {{"list", "--dry-run"}, "ErreurOption"},
        {{"status", "--keep", "2"}, "ErreurOption"},
        {{"--yes", "status"}, "ErreurOption"},
        {{"--frob", "list"}, "ErreurOption"},
        {{"delete", "--keep"}, "ErreurValeur"},
        {{"delete", "--older-than="}, "ErreurValeur"},
        {{"list", "--json=yes"}, "ErreurOption"},
        {{"remove", "3"}, "ErreurCommande"},
        {{"--version", "list"}, "ErreurArgument"},
    };
    for (const Case& c : cases) {
        cli::Arguments parsed;
        const auto problem = cli::parseArguments(c.args, parsed);
        EXPECT_EQ(problem ? problem->key : std::string(), c.problemKey) << testing::PrintToString(c.args);
    }
}

TEST(ParseArguments, ValuesAndAnEndOfOptions) {
    cli::Arguments parsed;
    ASSERT_FALSE(cli::parseArguments({"--json", "delete", "12", "--keep", "3", "-5", "--yes"}, parsed));
    EXPECT_STREQ(parsed.command->name, "delete");
    EXPECT_EQ(parsed.values, (std::vector<std::string>{"12", "-5"})); // a negative number is no option
    EXPECT_EQ(parsed.value("--keep"), "3");
    EXPECT_TRUE(parsed.json && parsed.has("--yes") && !parsed.has("--dry-run"));

    cli::Arguments title;
    ASSERT_FALSE(cli::parseArguments({"create", "--", "--yes", "/?"}, title));
    EXPECT_EQ(title.values, (std::vector<std::string>{"--yes", "/?"}));
    EXPECT_FALSE(title.help);
}

} // namespace
