#include "platform/Error.h"
#include "platform/FileProfile.h"
#include "platform/sim/Services.h"

#include "support/MemoryFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
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
              (std::vector<std::string>{"Français", "Deutsch", "English", "Español"}));
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

namespace {

// A "Unicode" file: the FF FE mark, then each Latin-1 byte as a UTF-16LE unit.
std::string unicodeFile(const std::string& latin1) {
    std::string out = "\xFF\xFE";
    for (char c : latin1)
        out += std::string{c, '\0'};
    return out;
}

struct ReadCase {
    std::string file;
    std::string section;
    std::string key;
    std::string expected; // "<default>" when not found
};

void expectReads(const std::vector<ReadCase>& cases) {
    for (const ReadCase& c : cases) {
        MemoryFiles files;
        FileProfile profile(files);
        files.files[kLangues] = c.file;
        EXPECT_EQ(profile.readString(kLangues, c.section, c.key, "<default>"), c.expected)
            << "[" << c.section << "] " << c.key << " in " << testing::PrintToString(c.file);
    }
}

struct WriteCase {
    std::string before;
    std::string section;
    std::string key;
    std::string value;
    std::string after;
};

void expectWrites(const std::vector<WriteCase>& cases) {
    for (const WriteCase& c : cases) {
        MemoryFiles files;
        FileProfile profile(files);
        if (!c.before.empty())
            files.files[kLangues] = c.before;
        profile.writeString(kLangues, c.section, c.key, c.value);
        EXPECT_EQ(files.files[kLangues], c.after) << "[" << c.section << "] " << c.key << " into "
                                                  << testing::PrintToString(c.before);
    }
}

} // namespace

TEST(ProfileRules, CrLfAndCrEachEndALine) {
    expectReads({
        {"[a]\rx=1\ry=2\r", "a", "y", "2"},
        {"[a]\rx=1\r[b]\ry=2", "b", "y", "2"},
        {"[a]\r\nx=1\ry=2\n[b]\r\nz=3", "a", "y", "2"},
        {"[a]\r\nx=1\ry=2\n[b]\r\nz=3", "b", "z", "3"},
        {"[a]\r\rx=1\r\n", "a", "x", "1"},
        {"[a]\r\nk=one\rtwo=2\r\n", "a", "k", "one"},
        {"[a]\r\nk=one\rtwo=2\r\n", "a", "two", "2"},
    });
    expectWrites({
        {"[a]\rx=1\r", "a", "y", "2", "[a]\rx=1\ry=2\r"},
        {"[a]\r\nx=1\ry=2\n", "a", "z", "3", "[a]\r\nx=1\ry=2\nz=3\r\n"},
    });
}

TEST(ProfileRules, AUnicodeFileIsReadAndWrittenAsUnicode) {
    expectReads({
        {unicodeFile("[English]\r\nCr\xE9" "er=Create\r\n"), "english", "CRÉER", "Create"},
        {unicodeFile("[Fran\xE7" "ais]\r\nOui=Oui\r\n"), "Français", "Oui", "Oui"},
        // A UTF-8 mark is not understood: it stays part of the first line.
        {"\xEF\xBB\xBF[a]\r\nk=v\r\n", "a", "k", "<default>"},
    });
    expectWrites({
        {unicodeFile("[English]\r\nOui=Yes\r\n"), "English", "Cr\xC3\xA9" "er", "Create",
         unicodeFile("[English]\r\nOui=Yes\r\nCr\xE9" "er=Create\r\n")},
        {unicodeFile("[a]\r\nk=v\r\n"), "b", "k", "w", unicodeFile("[a]\r\nk=v\r\n[b]\r\nk=w\r\n")},
    });
}

TEST(ProfileRules, BlanksAroundNamesDoNotCount) {
    expectReads({
        {"[ English ]\r\nk=v\r\n", "English", "k", "v"},
        {"[\tEnglish\v]\r\nk=v\r\n", "english", "k", "v"},
        {"[English]\r\nk=v\r\n", " English ", "\tk ", "v"},
        // The name ends at the last "]", so a description with brackets finds its own section.
        {"[(10/11/2006) Installed [beta]]\r\nNumber=6\r\n", "(10/11/2006) Installed [beta]", "Number", "6"},
        {"[(10/11/2006) Installed [beta]]\r\nNumber=6\r\n", "(10/11/2006) Installed [beta", "Number", "<default>"},
    });
    expectWrites({
        {"", "(10/11/2006) ", " Number ", "5", "[(10/11/2006)]\r\nNumber=5\r\n"},
        {"[(10/11/2006)]\r\nNumber=5\r\n", "(10/11/2006) ", "Number", "6", "[(10/11/2006)]\r\nNumber=6\r\n"},
        {"[ a ]\r\nk=1\r\n", "a", "k", "2", "[ a ]\r\nk=2\r\n"},
    });
}

TEST(ProfileRules, OnlySpaceTabAndVerticalTabAreTrimmedAroundAValue) {
    expectReads({
        {"[s]\r\nk= \t\vv w\v\t \r\n", "s", "k", "v w"},
        {"[s]\r\nk=\x01v\x1F\r\n", "s", "k", "\x01v\x1F"},
        {"[s]\r\nk=\fv\r\n", "s", "k", "\fv"},
    });
    MemoryFiles files;
    FileProfile profile(files);
    EXPECT_EQ(profile.readString(kLangues, "s", "k", "default  "), "default");
    EXPECT_EQ(profile.readString(kLangues, "s", "k", "  two words"), "  two words");
}

TEST(ProfileRules, WritesAddLinesWithoutBlankLinesAndEndEveryLineTheyAdd) {
    expectWrites({
        {"[a]\r\nx=1\r\n", "New", "k", "v", "[a]\r\nx=1\r\n[New]\r\nk=v\r\n"},
        {"[a]\r\nx=1", "New", "k", "v", "[a]\r\nx=1\r\n[New]\r\nk=v\r\n"},
        {"[a]\r\nx=1", "a", "y", "2", "[a]\r\nx=1\r\ny=2\r\n"},
        {"[a]\nx=1\n\n", "b", "y", "2", "[a]\nx=1\n\n[b]\ny=2\n"},
        {"[a]\r\nx=1\r\n\r\n[b]\r\ny=2", "a", "z", "3", "[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2"},
        {"; only a comment", "a", "k", "v", "; only a comment\r\n[a]\r\nk=v\r\n"},
    });
}

TEST(ProfileRules, KeysAndSectionsAreDeleted) {
    struct Case {
        std::string before;
        std::string section;
        std::optional<std::string> key; // nothing: the whole section
        std::string after;
    };
    const std::vector<Case> cases = {
        {"[a]\r\nx=1\r\ny=2\r\n[b]\r\nx=3\r\n", "A", "X", "[a]\r\ny=2\r\n[b]\r\nx=3\r\n"},
        {"[a]\r\nx=1\r\ny=2", "a", "y", "[a]\r\nx=1\r\n"},
        {"[a]\r\nx=1\r\n", "a", "missing", "[a]\r\nx=1\r\n"},
        {"[a]\r\nx=1\r\n", "missing", "x", "[a]\r\nx=1\r\n"},
        {"; top\r\n[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n", " a ", std::nullopt, "; top\r\n[b]\r\ny=2\r\n"},
        {"[a]\r\nx=1\r\n[b]\r\ny=2\r\n", "b", std::nullopt, "[a]\r\nx=1\r\n"},
        {"[a]\r\nx=1\r\n", "b", std::nullopt, "[a]\r\nx=1\r\n"},
    };
    for (const Case& c : cases) {
        MemoryFiles files;
        FileProfile profile(files);
        files.files[kLangues] = c.before;
        if (c.key)
            profile.deleteKey(kLangues, c.section, *c.key);
        else
            profile.deleteSection(kLangues, c.section);
        EXPECT_EQ(files.files[kLangues], c.after) << testing::PrintToString(c.before);
        EXPECT_EQ(files.writes, c.before == c.after ? 0 : 1) << "a change is one write, no change none";
    }
}

// The parsed copy of a file is used while the file's stamp stays the same.
TEST(ProfileCopy, AFileIsReadAgainOnlyWhenItChanged) {
    MemoryFiles files;
    files.stamps = true;
    FileProfile profile(files);
    files.edit(kLangues, "[English]\r\nOui=Yes\r\nNon=No\r\n");
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(profile.readString(kLangues, "English", i % 2 ? "Oui" : "Non", ""), i % 2 ? "Yes" : "No");
    EXPECT_EQ(files.reads, 1);

    files.edit(kLangues, "[English]\r\nOui=Yes!\r\n");
    EXPECT_EQ(profile.readString(kLangues, "English", "Oui", ""), "Yes!");
    profile.writeString(kLangues, "English", "Non", "No");
    EXPECT_EQ(profile.readString(kLangues, "English", "Non", ""), "No");
    EXPECT_EQ(files.reads, 2) << "its own write leaves the copy current";

    files.deleteFile(kLangues);
    EXPECT_EQ(profile.readString(kLangues, "English", "Oui", "<default>"), "<default>");
    EXPECT_TRUE(profile.sectionNames(kLangues).empty());
}

TEST(ProfileCopy, HeldWritesReachTheFileInOneWrite) {
    MemoryFiles files;
    files.stamps = true;
    FileProfile profile(files);
    platform::IniFile cache(profile, kFolder + "KestrafenTemp.ini");
    {
        platform::HeldWrites held(cache);
        for (int i = 0; i < 100; ++i)
            cache.writeString("(point " + std::to_string(i) + ")", "Number", std::to_string(i));
        EXPECT_EQ(files.writes, 1) << "the first write goes to disk, the rest wait";
        EXPECT_EQ(cache.readString("(point 99)", "Number", ""), "99");
        EXPECT_EQ(cache.sections().size(), 100u);
        held.commit();
    }
    EXPECT_EQ(files.writes, 2);
    FileProfile other(files);
    EXPECT_EQ(other.readString(cache.fileName(), "(point 99)", "Number", ""), "99");
    cache.writeString("(point 0)", "Number", "x");
    EXPECT_EQ(files.writes, 3) << "after the scope, every write goes to disk again";
}

TEST(ProfileCopy, HeldWritesToAnUnwritableFileFailAtTheFirstWrite) {
    MemoryFiles files;
    files.stamps = true;
    FileProfile profile(files);
    platform::IniFile cache(profile, "KestrafenTemp.ini");
    files.readOnly.insert(kFolder + "KestrafenTemp.ini");
    platform::HeldWrites held(cache);
    EXPECT_THROW(cache.writeString("(a)", "Number", "1"), platform::Error);
    EXPECT_EQ(cache.readString("(a)", "Number", "<default>"), "<default>") << "what failed is not seen";
}
