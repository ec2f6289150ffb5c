// The language file shipped with the sample machine, read the way the program reads it: through the
// simulated machine's profile service, so a key spelled in the wrong code page or a value trimmed
// by the profile rules shows up here rather than as a French text in an English window.
#include "lang/Keys.h"
#include "platform/FileProfile.h"
#include "platform/sim/Services.h"

#include "support/MemoryFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const std::string kProgramFolder = "C:\\Program Files\\Kestrafen\\";
const std::string kFile = kProgramFolder + "langues.ini";
const std::string kMissing = "\x01(missing)";

std::string shippedBytes() {
    const std::string path =
        std::string(KESTRAFEN_SOURCE_DIR) + "/sample-machine/drives/C/Program Files/Kestrafen/langues.ini";
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class LanguageFile : public ::testing::Test {
protected:
    // The file is only read: a write would be refused and fail the test.
    LanguageFile() : profile_(files_) {
        files_.files[kFile] = shippedBytes();
        files_.readOnly.insert(kFile);
    }

    std::string read(const std::string& section, const std::string& key) {
        return profile_.readString(kFile, section, key, kMissing);
    }

    // Every key the program looks up, with its French default; a key of two lists comes twice.
    static std::vector<lang::KeyText> lookedUpKeys() {
        std::vector<lang::KeyText> keys(lang::keys::captions.begin(), lang::keys::captions.end());
        keys.insert(keys.end(), lang::keys::table.begin(), lang::keys::table.end());
        keys.insert(keys.end(), lang::keys::atUse.begin(), lang::keys::atUse.end());
        keys.insert(keys.end(), lang::keys::commandLine.begin(), lang::keys::commandLine.end());
        keys.insert(keys.end(), lang::keys::savedFiles.begin(), lang::keys::savedFiles.end());
        keys.push_back({"Date", "dd/MM/yyyy"});
        keys.push_back({"Séparateur", "/"});
        return keys;
    }

    testing_support::MemoryFiles files_;
    platform::FileProfile profile_;
    const std::vector<std::string> languages_{"Français", "English", "Deutsch", "Español", "Italiano"};
};

TEST_F(LanguageFile, OffersTheFiveLanguagesInOrder) {
    EXPECT_EQ(profile_.sectionNames(kFile), languages_);
}

TEST_F(LanguageFile, EveryLanguageHasEveryKeyTheProgramLooksUp) {
    for (const std::string& language : languages_) {
        std::string missing;
        for (const lang::KeyText& k : lookedUpKeys())
            if (read(language, k.key) == kMissing)
                missing += std::string(" ") + k.key;
        EXPECT_EQ(missing, "") << "[" << language << "] lacks these keys";
    }
}

TEST_F(LanguageFile, FrenchHoldsExactlyTheBuiltInDefaults) {
    for (const lang::KeyText& k : lookedUpKeys())
        EXPECT_EQ(read("Français", k.key), k.frenchDefault) << "key " << k.key;
}

TEST_F(LanguageFile, OtherLanguagesAreTranslated) {
    // A value left in French would show a French text in that language's windows.
    const std::vector<std::string> sameEverywhere{"Date", "Séparateur", "Décimale"};
    for (std::size_t i = 1; i < languages_.size(); ++i) {
        for (const lang::KeyText& k : lookedUpKeys()) {
            if (std::find(sameEverywhere.begin(), sameEverywhere.end(), k.key) != sameEverywhere.end())
                continue;
            EXPECT_NE(read(languages_[i], k.key), k.frenchDefault) << "[" << languages_[i] << "] " << k.key;
        }
    }
}

TEST_F(LanguageFile, VersionMessageKeepsItsTrailingBlankAndListMarkersStay) {
    for (const std::string& language : languages_) {
        const std::string message = read(language, "Message7");
        ASSERT_FALSE(message.empty()) << language;
        EXPECT_EQ(message.back(), ' ') << "[" << language << "] Message7 lost its trailing blank";
        // The program adds the site's address after it.
        EXPECT_TRUE(read(language, "Message9").ends_with(": ")) << "[" << language << "] Message9";
        for (int line = 5; line <= 10; ++line) {
            const std::string key = "RéparerRestauration" + std::to_string(line);
            EXPECT_TRUE(read(language, key).starts_with("-> ")) << "[" << language << "] " << key;
        }
    }
}

TEST_F(LanguageFile, DatesUseOneCharacterSeparatorAndKnownPatternLetters) {
    for (const std::string& language : languages_) {
        EXPECT_EQ(read(language, "Séparateur").size(), 1u) << language;
        const std::string pattern = read(language, "Date");
        EXPECT_EQ(pattern.find_first_not_of("dMy/"), std::string::npos) << language << ": " << pattern;
    }
}

TEST(LanguageFileBytes, AreWindows1252WithCrlfLineEnds) {
    const std::string bytes = shippedBytes();
    const std::string frenchSection = std::string("[Fran") + '\xE7' + "ais]";
    EXPECT_NE(bytes.find(frenchSection), std::string::npos) << "section name not in Windows-1252";
    EXPECT_EQ(bytes.find("\xC3\xA7"), std::string::npos) << "UTF-8 text in a Windows-1252 file";
    EXPECT_NE(bytes.find("S\xE9parateur="), std::string::npos);
    for (std::size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1))
        ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare line feed at byte " << i;
    EXPECT_TRUE(bytes.ends_with("\r\n"));
}

} // namespace
