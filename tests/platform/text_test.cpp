#include "platform/Error.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <climits>

// Windows-1252 bytes are written as octal escapes: \347 is ç, \351 is é, \311 is É.
namespace text = platform::text;

namespace {

std::string allBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    return bytes;
}

} // namespace

TEST(Cp1252, AccentedLettersBecomeSingleBytes) {
    EXPECT_EQ(text::toCp1252("Français"), "Fran\347ais");
    EXPECT_EQ(text::toCp1252("Créer"), "Cr\351er");
    EXPECT_EQ(text::fromCp1252("Cr\351er"), "Créer");
}

TEST(Cp1252, HighRangeFollowsTheCodePageTable) {
    EXPECT_EQ(text::fromCp1252("\x80"), "€");
    EXPECT_EQ(text::fromCp1252("\x8A\x8C\x8E\x9A\x9C\x9E\x9F"), "ŠŒŽšœžŸ");
    EXPECT_EQ(text::fromCp1252("\x85\x91\x92\x93\x94\x96\x97\x99"), "…‘’“”–—™");
    EXPECT_EQ(text::toCp1252("€ Œuvre ‹›"), "\x80 \x8Cuvre \x8B\x9B");
}

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    const std::string bytes = allBytes();
    EXPECT_EQ(text::toCp1252(text::fromCp1252(bytes)), bytes);
    // The undefined bytes travel as the C1 controls of the same number.
    EXPECT_EQ(text::fromCp1252("\x81"), "\xC2\x81");
    EXPECT_EQ(text::fromCp1252("\x9D"), "\xC2\x9D");
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(text::toCp1252("日本"), "??");
    EXPECT_EQ(text::toCp1252("a\xC2\x80z"), "a?z"); // U+0080 is not byte 0x80 (that is the euro sign)
    EXPECT_EQ(text::toCp1252("😀"), "?");
    // Malformed UTF-8 loses only the broken bytes.
    EXPECT_EQ(text::toCp1252("a\xC3"), "a?");
    EXPECT_EQ(text::toCp1252("a\xE9z"), "a?z");
    EXPECT_EQ(text::toCp1252("\xC0\xAF"), "??"); // overlong "/"
}

TEST(CaseRules, LettersOfTheCodePageMatchTheirOtherCase) {
    EXPECT_TRUE(text::equalsIgnoreCase("français", "FRANÇAIS"));
    EXPECT_TRUE(text::equalsIgnoreCase("àéîõüþ", "ÀÉÎÕÜÞ"));
    EXPECT_TRUE(text::equalsIgnoreCase("šœžÿ", "ŠŒŽŸ"));
    EXPECT_TRUE(text::equalsIgnoreCase("ÀDésactiver", "àdésactiver"));
    EXPECT_FALSE(text::equalsIgnoreCase("Créer", "Creer"));
    EXPECT_FALSE(text::equalsIgnoreCase("abc", "abcd"));
    // × and ÷ sit where a letter pair would be but are not letters.
    EXPECT_FALSE(text::equalsIgnoreCase("×", "÷"));
}

TEST(CaseRules, UpperCase) {
    EXPECT_EQ(text::upper("français àÿ šœž ß"), "FRANÇAIS ÀŸ ŠŒŽ ß");
    EXPECT_EQ(text::upper("÷×µ1"), "÷×µ1");
    EXPECT_EQ(text::upper("日本x"), "日本X");
}

TEST(CaseRules, OrderFollowsTheCodePageWithoutCase) {
    EXPECT_EQ(text::compareIgnoreCase("abc", "ABC"), 0);
    EXPECT_LT(text::compareIgnoreCase("abc", "ABD"), 0);
    EXPECT_GT(text::compareIgnoreCase("b", "A"), 0);
    EXPECT_LT(text::compareIgnoreCase("ab", "abc"), 0);
    EXPECT_GT(text::compareIgnoreCase("abc", "ab"), 0);
    // By Windows-1252 byte: Š (0x8A) before À (0xC0), é (0xC9 once upper) after z.
    EXPECT_LT(text::compareIgnoreCase("š", "à"), 0);
    EXPECT_GT(text::compareIgnoreCase("é", "Z"), 0);
    // Characters outside the code page are not all equal to each other.
    EXPECT_NE(text::compareIgnoreCase("日", "本"), 0);
    EXPECT_GT(text::compareIgnoreCase("日", "ÿ"), 0);
}

TEST(ToInteger, AcceptsSignedDecimalNumbers) {
    EXPECT_EQ(text::toInteger("0"), 0);
    EXPECT_EQ(text::toInteger("90"), 90);
    EXPECT_EQ(text::toInteger("+7"), 7);
    EXPECT_EQ(text::toInteger("-12"), -12);
    EXPECT_EQ(text::toInteger("007"), 7);
    EXPECT_EQ(text::toInteger("9223372036854775807"), LLONG_MAX);
    EXPECT_EQ(text::toInteger("-9223372036854775808"), LLONG_MIN);
}

TEST(ToInteger, RefusesAnythingElseNamingTheText) {
    for (const char* bad : {"", " 1", "1 ", "+", "-", "+-1", "--1", "1.5", "0x10", "12a",
                            "9223372036854775808", "-9223372036854775809", "１"}) {
        try {
            text::toInteger(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const platform::Error& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' is not a valid integer value");
        }
    }
}

TEST(Trim, RemovesBlanksAndControlCharactersAtBothEnds) {
    EXPECT_EQ(text::trim("  a b \t\r\n"), "a b");
    EXPECT_EQ(text::trim("\t \n"), "");
    EXPECT_EQ(text::trim("é"), "é");
    EXPECT_EQ(text::trim(""), "");
}
