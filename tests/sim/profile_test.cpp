#include "platform/Error.h"
#include "platform/FileProfile.h"
#include "platform/sim/Services.h"

#include "support/MemoryFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using platform::FileProfile;

// Windows-1252 bytes are written as octal escapes: \347 is ç, \351 is é, \311 is É.
namespace {

using testing_support::MemoryFiles;

const std::string kFolder = "C:\\Program Files\\Kestrafen\\";
const std::string kLangues = kFolder + "langues.ini";

class ProfileTest : public ::testing::Test {
protected:
    MemoryFiles files;
    FileProfile profile{files};

    std::string read(const std::string& section, const std::string& key,
                     const std::string& def = "<default>") {
        return profile.readString(kLangues, section, key, def);
    }
};

} // namespace

TEST_F(ProfileTest, SectionsAndKeysMatchWithoutRegardToCase) {
    files.files[kLangues] =
        "[Fran\347ais]\r\nCr\351er=Cr\351er un point\r\n[English]\r\nCr\351er=Create a point\r\n";
    EXPECT_EQ(read("FRANÇAIS", "créer"), "Créer un point");
    EXPECT_EQ(read("english", "CRÉER"), "Create a point");
    EXPECT_EQ(read("English", "Creer"), "<default>");
}

TEST_F(ProfileTest, BlanksAndOnePairOfQuotesAreRemoved) {
    files.files[kLangues] = "[s]\n"
                            "  Plain  =   two words  \n"
                            "Double=\"  kept blanks \"\n"
                            "Single='x'\n"
                            "Twice=\"\"a\"\"\n"
                            "Mixed=\"a'\n"
                            "Lone=\"\n";
    EXPECT_EQ(read("s", "Plain"), "two words");
    EXPECT_EQ(read("s", "Double"), "  kept blanks ");
    EXPECT_EQ(read("s", "Single"), "x");
    EXPECT_EQ(read("s", "Twice"), "\"a\"");
    EXPECT_EQ(read("s", "Mixed"), "\"a'");
    EXPECT_EQ(read("s", "Lone"), "\"");
}

TEST_F(ProfileTest, AbsentGivesTheDefaultAndEmptyGivesEmpty) {
    EXPECT_EQ(read("s", "k"), "<default>"); // no file
    files.files[kLangues] = "[s]\r\nEmpty=\r\nBlank=   \r\nNoEquals\r\n";
    EXPECT_EQ(read("s", "Empty"), "");
    EXPECT_EQ(read("s", "Blank"), "");
    EXPECT_EQ(read("s", "NoEquals"), "<default>");
    EXPECT_EQ(read("s", "Missing"), "<default>");
    EXPECT_EQ(read("other", "Empty"), "<default>");
}

TEST_F(ProfileTest, KeysBelongToTheSectionOpenedLastAndTheFirstOfTwoWins) {
    files.files[kLangues] = "Before=x\r\n[a]\r\nK=1\r\nK=2\r\n[b]\r\nK=3\r\n";
    EXPECT_EQ(read("a", "K"), "1");
    EXPECT_EQ(read("b", "K"), "3");
    EXPECT_EQ(read("a", "Before"), "<default>");
}

TEST_F(ProfileTest, ValueIsTheTextAfterTheFirstEqualsSign) {
    files.files[kLangues] = "[s]\r\nDate=a=b==c\r\n";
    EXPECT_EQ(read("s", "Date"), "a=b==c");
}

TEST_F(ProfileTest, LongValuesAreCutTo2047Characters) {
    const std::string value = std::string(2046, 'x') + "\xE9" + std::string(953, 'y'); // 3000 characters
    files.files[kLangues] = "[s]\r\nLong=" + value + "\r\n";
    const std::string got = read("s", "Long");
    EXPECT_EQ(got, std::string(2046, 'x') + "é");
}

TEST_F(ProfileTest, SectionNamesComeInFileOrder) {
    EXPECT_TRUE(profile.sectionNames(kLangues).empty());
    files.files[kLangues] = "[Fran\347ais]\r\na=1\r\n[Deutsch]\r\n[ English ]\r\n[Espa\xF1ol]\r\n";
    EXPECT_EQ(profile.sectionNames(kLangues),
              (std::vector<std::string>{"Français", "Deutsch", " English ", "Español"}));
}

TEST_F(ProfileTest, SectionNamesKeepTheirBlanksAndBrackets) {
    // Point-cache sections are named after list entries, which may end in a blank or hold brackets.
    profile.writeString(kLangues, "(10/11/2006) ", "Number", "5");
    profile.writeString(kLangues, "(10/11/2006) Installed [beta]", "Number", "6");
    EXPECT_EQ(read("(10/11/2006) ", "Number"), "5");
    EXPECT_EQ(read("(10/11/2006)", "Number"), "<default>");
    EXPECT_EQ(read("(10/11/2006) Installed [beta]", "Number"), "6");
    EXPECT_EQ(profile.sectionNames(kLangues),
              (std::vector<std::string>{"(10/11/2006) ", "(10/11/2006) Installed [beta]"}));
}

TEST_F(ProfileTest, WritingCreatesTheFileWithWindows1252AndCrlf) {
    profile.writeString(kFolder + "Kestrafen.ini", "Kestrafen", "Langue", "Français");
    EXPECT_EQ(files.files[kFolder + "Kestrafen.ini"], "[Kestrafen]\r\nLangue=Fran\347ais\r\n");
    profile.writeString(kFolder + "Kestrafen.ini", "Kestrafen", "Créer", "x");
    EXPECT_EQ(files.files[kFolder + "Kestrafen.ini"], "[Kestrafen]\r\nLangue=Fran\347ais\r\nCr\351er=x\r\n");
}

TEST_F(ProfileTest, RelativeNamesLiveInTheCurrentFolder) {
    profile.writeString("Kestrafen.ini", "Kestrafen", "Langue", "English");
    EXPECT_TRUE(files.fileExists(kFolder + "Kestrafen.ini"));
    EXPECT_EQ(profile.readString("Kestrafen.ini", "Kestrafen", "Langue", ""), "English");
    EXPECT_EQ(profile.sectionNames("\\Program Files\\Kestrafen\\Kestrafen.ini"),
              std::vector<std::string>{"Kestrafen"});
}

TEST_F(ProfileTest, ReplacingAValueKeepsEveryOtherByte) {
    const std::string before = "; settings\r\n"
                               "[Other]\r\n"
                               "Langue = keep\r\n"
                               "\r\n"
                               "[KESTRAFEN]\r\n"
                               "  langue = \"Fran\347ais\"\r\n"
                               "Junk line\r\n"
                               "\r\n"
                               "[Last]\r\n"
                               "x=\x81\x8D\x8F\x90\x9D";
    files.files[kLangues] = before;
    profile.writeString(kLangues, "Kestrafen", "Langue", "English");
    const std::string expected = "; settings\r\n"
                                 "[Other]\r\n"
                                 "Langue = keep\r\n"
                                 "\r\n"
                                 "[KESTRAFEN]\r\n"
                                 "langue=English\r\n"
                                 "Junk line\r\n"
                                 "\r\n"
                                 "[Last]\r\n"
                                 "x=\x81\x8D\x8F\x90\x9D";
    EXPECT_EQ(files.files[kLangues], expected);
}

TEST_F(ProfileTest, ANewKeyGoesAfterTheSectionsLastLineInTheFilesLineStyle) {
    files.files[kLangues] = "[a]\nx=1\n\n[b]\ny=2\n";
    profile.writeString(kLangues, "A", "z", "3");
    EXPECT_EQ(files.files[kLangues], "[a]\nx=1\nz=3\n\n[b]\ny=2\n");
    profile.writeString(kLangues, "b", "w", "4");
    EXPECT_EQ(files.files[kLangues], "[a]\nx=1\nz=3\n\n[b]\ny=2\nw=4\n");
}

TEST_F(ProfileTest, ANewKeyInALastSectionWithoutFinalLineEnd) {
    files.files[kLangues] = "[a]\r\nx=1";
    profile.writeString(kLangues, "a", "y", "2");
    EXPECT_EQ(files.files[kLangues], "[a]\r\nx=1\r\ny=2");
    EXPECT_EQ(read("a", "x"), "1");
    EXPECT_EQ(read("a", "y"), "2");
}

TEST_F(ProfileTest, ANewSectionIsAppendedAfterABlankLine) {
    files.files[kLangues] = "[a]\nx=1";
    profile.writeString(kLangues, "b", "y", "2");
    EXPECT_EQ(files.files[kLangues], "[a]\nx=1\n\n[b]\ny=2\n");
    profile.writeString(kLangues, "c", "z", "3");
    EXPECT_EQ(files.files[kLangues], "[a]\nx=1\n\n[b]\ny=2\n\n[c]\nz=3\n");
    EXPECT_EQ(profile.sectionNames(kLangues), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(ProfileTest, AFileDeletedBetweenTwoCallsReadsAsEmpty) {
    profile.writeString(kLangues, "s", "k", "v");
    EXPECT_EQ(read("s", "k"), "v");
    files.deleteFile(kLangues);
    EXPECT_EQ(read("s", "k"), "<default>");
    EXPECT_TRUE(profile.sectionNames(kLangues).empty());
    profile.writeString(kLangues, "s", "other", "w");
    EXPECT_EQ(files.files[kLangues], "[s]\r\nother=w\r\n");
}

TEST_F(ProfileTest, AnUnwritableFileIsAnErrorNamingItsFullPath) {
    const std::string settings = kFolder + "Kestrafen.ini";
    files.files[settings] = "[Kestrafen]\r\nLangue=English\r\n";
    files.readOnly.insert(settings);
    try {
        profile.writeString("Kestrafen.ini", "Kestrafen", "Langue", "Français");
        FAIL() << "the write was not refused";
    } catch (const platform::Error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to C:\\Program Files\\Kestrafen\\Kestrafen.ini");
    }
    EXPECT_EQ(files.files[settings], "[Kestrafen]\r\nLangue=English\r\n");
}
