#pragma once
// The profile (INI) rules as one table of cases that every platform's file system runs, so the
// program reads and writes its ini files the same way everywhere. A store gives the file system,
// the folder the files live in (also the current folder, with a trailing backslash), the Windows
// folder, and raw access to the bytes of a file.
//
// Windows-1252 bytes are written as octal escapes: \347 is ç, \351 is é, \311 is É.
#include "platform/Error.h"
#include "platform/FileProfile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace testing_support {

template <class Store> class ProfileCases : public ::testing::Test {
protected:
    Store store;
    platform::FileProfile profile{store.files(), store.windowsFolder()};

    platform::FileSystem& files() { return store.files(); }
    std::string folder() { return store.folder(); }
    std::string langues() { return folder() + "langues.ini"; }
    void put(const std::string& path, const std::string& bytes) { store.put(path, bytes); }
    std::string content(const std::string& path) { return store.content(path); }
    void makeReadOnly(const std::string& path) { store.makeReadOnly(path); }
    std::string read(const std::string& section, const std::string& key,
                     const std::string& def = "<default>") {
        return profile.readString(langues(), section, key, def);
    }

    struct ReadCase {
        std::string file;
        std::string section;
        std::string key;
        std::string expected; // "<default>" when not found
    };
    void expectReads(const std::vector<ReadCase>& cases) {
        for (const ReadCase& c : cases) {
            put(langues(), c.file);
            EXPECT_EQ(read(c.section, c.key), c.expected)
                << "[" << c.section << "] " << c.key << " in " << ::testing::PrintToString(c.file);
        }
    }

    struct WriteCase {
        std::string before; // empty: no file
        std::string section;
        std::string key;
        std::optional<std::string> value; // nothing: delete the key, or the section when key is empty
        std::string after;
    };
    void expectWrites(const std::vector<WriteCase>& cases) {
        for (const WriteCase& c : cases) {
            files().deleteFile(langues());
            if (!c.before.empty())
                put(langues(), c.before);
            if (c.value)
                profile.writeString(langues(), c.section, c.key, *c.value);
            else if (!c.key.empty())
                profile.deleteKey(langues(), c.section, c.key);
            else
                profile.deleteSection(langues(), c.section);
            EXPECT_EQ(content(langues()), c.after)
                << "[" << c.section << "] " << c.key << " into " << ::testing::PrintToString(c.before);
        }
    }
};

// A "Unicode" file: the FF FE mark, then each Latin-1 byte as a UTF-16LE unit.
inline std::string unicodeFile(const std::string& latin1) {
    std::string out = "\xFF\xFE";
    for (char c : latin1)
        out += std::string{c, '\0'};
    return out;
}

TYPED_TEST_SUITE_P(ProfileCases);

TYPED_TEST_P(ProfileCases, SectionsAndKeysMatchWithoutRegardToCase) {
    this->put(this->langues(),
              "[Fran\347ais]\r\nCr\351er=Cr\351er un point\r\n[English]\r\nCr\351er=Create a point\r\n");
    EXPECT_EQ(this->read("FRANÇAIS", "créer"), "Créer un point");
    EXPECT_EQ(this->read("english", "CRÉER"), "Create a point");
    EXPECT_EQ(this->read("English", "Creer"), "<default>");
}

TYPED_TEST_P(ProfileCases, BlanksAndOnePairOfQuotesAreRemoved) {
    this->put(this->langues(), "[s]\n"
                               "  Plain  =   two words  \n"
                               "Double=\"  kept blanks \"\n"
                               "Single='x'\n"
                               "Twice=\"\"a\"\"\n"
                               "Mixed=\"a'\n"
                               "Lone=\"\n");
    EXPECT_EQ(this->read("s", "Plain"), "two words");
    EXPECT_EQ(this->read("s", "Double"), "  kept blanks ");
    EXPECT_EQ(this->read("s", "Single"), "x");
    EXPECT_EQ(this->read("s", "Twice"), "\"a\"");
    EXPECT_EQ(this->read("s", "Mixed"), "\"a'");
    EXPECT_EQ(this->read("s", "Lone"), "\"");
}

TYPED_TEST_P(ProfileCases, AbsentGivesTheDefaultAndEmptyGivesEmpty) {
    EXPECT_EQ(this->read("s", "k"), "<default>"); // no file
    this->put(this->langues(), "[s]\r\nEmpty=\r\nBlank=   \r\nNoEquals\r\n");
    EXPECT_EQ(this->read("s", "Empty"), "");
    EXPECT_EQ(this->read("s", "Blank"), "");
    EXPECT_EQ(this->read("s", "NoEquals"), "<default>");
    EXPECT_EQ(this->read("s", "Missing"), "<default>");
    EXPECT_EQ(this->read("other", "Empty"), "<default>");
}

TYPED_TEST_P(ProfileCases, KeysBelongToTheSectionOpenedLastAndTheFirstOfTwoWins) {
    this->put(this->langues(), "Before=x\r\n[a]\r\nK=1\r\nK=2\r\n[b]\r\nK=3\r\n");
    EXPECT_EQ(this->read("a", "K"), "1");
    EXPECT_EQ(this->read("b", "K"), "3");
    EXPECT_EQ(this->read("a", "Before"), "<default>");
}

TYPED_TEST_P(ProfileCases, ValueIsTheTextAfterTheFirstEqualsSign) {
    this->put(this->langues(), "[s]\r\nDate=a=b==c\r\n");
    EXPECT_EQ(this->read("s", "Date"), "a=b==c");
}

TYPED_TEST_P(ProfileCases, LongValuesAreCutTo2047Characters) {
    const std::string value = std::string(2046, 'x') + "\xE9" + std::string(953, 'y'); // 3000 characters
    this->put(this->langues(), "[s]\r\nLong=" + value + "\r\n");
    const std::string got = this->read("s", "Long");
    EXPECT_EQ(got, std::string(2046, 'x') + "é");
}

TYPED_TEST_P(ProfileCases, SectionNamesComeInFileOrder) {
    EXPECT_TRUE(this->profile.sectionNames(this->langues()).empty());
    this->put(this->langues(), "[Fran\347ais]\r\na=1\r\n[Deutsch]\r\n[ English ]\r\n[Espa\xF1ol]\r\n");
    EXPECT_EQ(this->profile.sectionNames(this->langues()),
              (std::vector<std::string>{"Français", "Deutsch", "English", "Español"}));
}

TYPED_TEST_P(ProfileCases, WritingCreatesTheFileWithWindows1252AndCrlf) {
    this->profile.writeString(this->folder() + "Kestrafen.ini", "Kestrafen", "Langue", "Français");
    EXPECT_EQ(this->content(this->folder() + "Kestrafen.ini"), "[Kestrafen]\r\nLangue=Fran\347ais\r\n");
    this->profile.writeString(this->folder() + "Kestrafen.ini", "Kestrafen", "Créer", "x");
    EXPECT_EQ(this->content(this->folder() + "Kestrafen.ini"),
              "[Kestrafen]\r\nLangue=Fran\347ais\r\nCr\351er=x\r\n");
}

TYPED_TEST_P(ProfileCases, BareNamesLiveInTheWindowsFolderAndPathsInTheCurrentOne) {
    this->profile.writeString("Kestrafen.ini", "Kestrafen", "Langue", "English");
    EXPECT_TRUE(this->files().fileExists(this->store.windowsFolder() + "Kestrafen.ini"));
    EXPECT_FALSE(this->files().fileExists(this->folder() + "Kestrafen.ini"));
    EXPECT_EQ(this->profile.readString("Kestrafen.ini", "Kestrafen", "Langue", ""), "English");
    this->profile.writeString(this->folder().substr(2) + "Kestrafen.ini", "Kestrafen", "Langue", "Deutsch");
    EXPECT_EQ(this->profile.readString(this->folder() + "Kestrafen.ini", "Kestrafen", "Langue", ""),
              "Deutsch");
}

TYPED_TEST_P(ProfileCases, ReplacingAValueKeepsEveryOtherByte) {
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
    this->put(this->langues(), before);
    this->profile.writeString(this->langues(), "Kestrafen", "Langue", "English");
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
    EXPECT_EQ(this->content(this->langues()), expected);
}

TYPED_TEST_P(ProfileCases, ANewKeyGoesAfterTheSectionsLastLineInTheFilesLineStyle) {
    this->put(this->langues(), "[a]\nx=1\n\n[b]\ny=2\n");
    this->profile.writeString(this->langues(), "A", "z", "3");
    EXPECT_EQ(this->content(this->langues()), "[a]\nx=1\nz=3\n\n[b]\ny=2\n");
    this->profile.writeString(this->langues(), "b", "w", "4");
    EXPECT_EQ(this->content(this->langues()), "[a]\nx=1\nz=3\n\n[b]\ny=2\nw=4\n");
}

TYPED_TEST_P(ProfileCases, CrLfAndCrEachEndALine) {
    this->expectReads({
        {"[a]\rx=1\ry=2\r", "a", "y", "2"},
        {"[a]\rx=1\r[b]\ry=2", "b", "y", "2"},
        {"[a]\r\nx=1\ry=2\n[b]\r\nz=3", "a", "y", "2"},
        {"[a]\r\nx=1\ry=2\n[b]\r\nz=3", "b", "z", "3"},
        {"[a]\r\rx=1\r\n", "a", "x", "1"},
        {"[a]\r\nk=one\rtwo=2\r\n", "a", "k", "one"},
        {"[a]\r\nk=one\rtwo=2\r\n", "a", "two", "2"},
    });
    this->expectWrites({
        {"[a]\rx=1\r", "a", "y", "2", "[a]\rx=1\ry=2\r"},
        {"[a]\r\nx=1\ry=2\n", "a", "z", "3", "[a]\r\nx=1\ry=2\nz=3\r\n"},
    });
}

TYPED_TEST_P(ProfileCases, AUnicodeFileIsReadAndWrittenAsUnicode) {
    this->expectReads({
        {unicodeFile("[English]\r\nCr\351er=Create\r\n"), "english", "CRÉER", "Create"},
        {unicodeFile("[Fran\347ais]\r\nOui=Oui\r\n"), "Français", "Oui", "Oui"},
        // A UTF-8 mark is not understood: it stays part of the first line.
        {"\xEF\xBB\xBF[a]\r\nk=v\r\n", "a", "k", "<default>"},
    });
    this->expectWrites({
        {unicodeFile("[English]\r\nOui=Yes\r\n"), "English", "Créer", "Create",
         unicodeFile("[English]\r\nOui=Yes\r\nCr\351er=Create\r\n")},
        {unicodeFile("[a]\r\nk=v\r\n"), "b", "k", "w", unicodeFile("[a]\r\nk=v\r\n[b]\r\nk=w\r\n")},
        // What is no text on a line the write does not touch stays byte for byte: an odd last
        // byte, unpaired surrogates (high, low, high before a non-surrogate).
        {unicodeFile("[a]\r\nk=v\r\n") + "A", "b", "k", "w",
         unicodeFile("[a]\r\nk=v\r\n[b]\r\nk=w\r\n") + "A"},
        {unicodeFile("[a]\r\nk=1\r\nd=") + "\x00\xD8" + unicodeFile("\r\ne=").substr(2) + "\x01\xDC" +
             unicodeFile("\r\nf=").substr(2) + "\x3D\xD8x\0\r\0\n\0",
         "a", "k", "2",
         unicodeFile("[a]\r\nk=2\r\nd=") + "\x00\xD8" + unicodeFile("\r\ne=").substr(2) + "\x01\xDC" +
             unicodeFile("\r\nf=").substr(2) + "\x3D\xD8x\0\r\0\n\0"},
    });
}

TYPED_TEST_P(ProfileCases, BlanksAroundNamesDoNotCount) {
    this->expectReads({
        {"[ English ]\r\nk=v\r\n", "English", "k", "v"},
        {"[\tEnglish\v]\r\nk=v\r\n", "english", "k", "v"},
        {"[English]\r\nk=v\r\n", " English ", "\tk ", "v"},
        // The name ends at the last "]", so a description with brackets finds its own section.
        {"[(10/11/2006) Installed [beta]]\r\nNumber=6\r\n", "(10/11/2006) Installed [beta]", "Number", "6"},
        {"[(10/11/2006) Installed [beta]]\r\nNumber=6\r\n", "(10/11/2006) Installed [beta", "Number",
         "<default>"},
    });
    this->expectWrites({
        {"", "(10/11/2006) ", " Number ", "5", "[(10/11/2006)]\r\nNumber=5\r\n"},
        {"[(10/11/2006)]\r\nNumber=5\r\n", "(10/11/2006) ", "Number", "6", "[(10/11/2006)]\r\nNumber=6\r\n"},
        {"[ a ]\r\nk=1\r\n", "a", "k", "2", "[ a ]\r\nk=2\r\n"},
    });
}

TYPED_TEST_P(ProfileCases, OnlySpaceTabAndVerticalTabAreTrimmedAroundAValue) {
    this->expectReads({
        {"[s]\r\nk= \t\vv w\v\t \r\n", "s", "k", "v w"},
        {"[s]\r\nk=\x01v\x1F\r\n", "s", "k", "\x01v\x1F"},
        {"[s]\r\nk=\fv\r\n", "s", "k", "\fv"},
    });
    this->files().deleteFile(this->langues());
    EXPECT_EQ(this->read("s", "k", "default  "), "default");
    EXPECT_EQ(this->read("s", "k", "  two words"), "  two words");
}

TYPED_TEST_P(ProfileCases, WritesAddLinesWithoutBlankLinesAndEndEveryLineTheyAdd) {
    this->expectWrites({
        {"[a]\r\nx=1\r\n", "New", "k", "v", "[a]\r\nx=1\r\n[New]\r\nk=v\r\n"},
        {"[a]\r\nx=1", "New", "k", "v", "[a]\r\nx=1\r\n[New]\r\nk=v\r\n"},
        {"[a]\r\nx=1", "a", "y", "2", "[a]\r\nx=1\r\ny=2\r\n"},
        // A rewritten last line is ended too.
        {"[a]\r\nx=1", "a", "X", "2", "[a]\r\nx=2\r\n"},
        {"[a]\nx=1", "a", "x", "2", "[a]\nx=2\n"},
        {"[a]\r\nx=1\r\n", "a", "x", "2", "[a]\r\nx=2\r\n"},
        {"[a]\nx=1", "b", "y", "2", "[a]\nx=1\n[b]\ny=2\n"},
        {"[a]\nx=1\n\n", "b", "y", "2", "[a]\nx=1\n\n[b]\ny=2\n"},
        {"[a]\r\nx=1\r\n\r\n[b]\r\ny=2", "a", "z", "3", "[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2"},
        {"; only a comment", "a", "k", "v", "; only a comment\r\n[a]\r\nk=v\r\n"},
    });
}

TYPED_TEST_P(ProfileCases, KeysAndSectionsAreDeleted) {
    this->expectWrites({
        {"[a]\r\nx=1\r\ny=2\r\n[b]\r\nx=3\r\n", "A", "X", std::nullopt, "[a]\r\ny=2\r\n[b]\r\nx=3\r\n"},
        {"[a]\r\nx=1\r\ny=2", "a", "y", std::nullopt, "[a]\r\nx=1\r\n"},
        {"[a]\r\nx=1\r\n", "a", "missing", std::nullopt, "[a]\r\nx=1\r\n"},
        {"[a]\r\nx=1\r\n", "missing", "x", std::nullopt, "[a]\r\nx=1\r\n"},
        {"; top\r\n[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n", " a ", "", std::nullopt, "; top\r\n[b]\r\ny=2\r\n"},
        {"[a]\r\nx=1\r\n[b]\r\ny=2\r\n", "b", "", std::nullopt, "[a]\r\nx=1\r\n"},
        {"[a]\r\nx=1\r\n", "b", "", std::nullopt, "[a]\r\nx=1\r\n"},
    });
    // From a file that is not there: the file is made, empty.
    for (const std::string key : {"x", ""}) {
        this->files().deleteFile(this->langues());
        key.empty() ? this->profile.deleteSection(this->langues(), "a")
                    : this->profile.deleteKey(this->langues(), "a", key);
        EXPECT_EQ(this->files().readFile(this->langues()), std::optional<std::string>("")) << key;
    }
}

TYPED_TEST_P(ProfileCases, AFileDeletedBetweenTwoCallsReadsAsEmpty) {
    this->profile.writeString(this->langues(), "s", "k", "v");
    EXPECT_EQ(this->read("s", "k"), "v");
    this->files().deleteFile(this->langues());
    EXPECT_EQ(this->read("s", "k"), "<default>");
    EXPECT_TRUE(this->profile.sectionNames(this->langues()).empty());
    this->profile.writeString(this->langues(), "s", "other", "w");
    EXPECT_EQ(this->content(this->langues()), "[s]\r\nother=w\r\n");
}

TYPED_TEST_P(ProfileCases, AnUnwritableFileIsAnErrorNamingItsFullPath) {
    const std::string settings = this->folder() + "Kestrafen.ini";
    this->put(settings, "[Kestrafen]\r\nLangue=English\r\n");
    this->makeReadOnly(settings);
    try {
        this->profile.writeString(this->folder().substr(2) + "Kestrafen.ini", "Kestrafen", "Langue",
                                  "Français");
        FAIL() << "the write was not refused";
    } catch (const platform::Error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + this->folder() + "Kestrafen.ini");
    }
    EXPECT_EQ(this->content(settings), "[Kestrafen]\r\nLangue=English\r\n");
}

REGISTER_TYPED_TEST_SUITE_P(
    ProfileCases, SectionsAndKeysMatchWithoutRegardToCase, BlanksAndOnePairOfQuotesAreRemoved,
    AbsentGivesTheDefaultAndEmptyGivesEmpty, KeysBelongToTheSectionOpenedLastAndTheFirstOfTwoWins,
    ValueIsTheTextAfterTheFirstEqualsSign, LongValuesAreCutTo2047Characters, SectionNamesComeInFileOrder,
    WritingCreatesTheFileWithWindows1252AndCrlf, BareNamesLiveInTheWindowsFolderAndPathsInTheCurrentOne,
    ReplacingAValueKeepsEveryOtherByte, ANewKeyGoesAfterTheSectionsLastLineInTheFilesLineStyle,
    CrLfAndCrEachEndALine, AUnicodeFileIsReadAndWrittenAsUnicode, BlanksAroundNamesDoNotCount,
    OnlySpaceTabAndVerticalTabAreTrimmedAroundAValue, WritesAddLinesWithoutBlankLinesAndEndEveryLineTheyAdd,
    KeysAndSectionsAreDeleted, AFileDeletedBetweenTwoCallsReadsAsEmpty,
    AnUnwritableFileIsAnErrorNamingItsFullPath);

} // namespace testing_support
