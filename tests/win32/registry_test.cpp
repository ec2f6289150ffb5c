// The registry on Wine's advapi32. The script reads the key this test leaves behind with
// "wine reg query", so what the program writes is what other programs see.
#include "Scratch.h"
#include "config/ExclusionLists.h"
#include "config/RestoreSettings.h"
#include "platform/Error.h"
#include "platform/win32/Services.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

const std::string kKey = "SOFTWARE\\Kestrafen Test";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { KESTRAFEN_ONLY_UNDER_WINE(); }
    win32::Win32Registry registry;
};

} // namespace

TEST_F(RegistryTest, ValuesOfEveryTypeReadBackAsWritten) {
    auto key = registry.open(RegRoot::LocalMachine, kKey, true);
    ASSERT_NE(key, nullptr);
    reg::writeString(*key, "Texte", "Créer un point");
    reg::writeInteger(*key, "RPLifeInterval", 7776000);
    reg::writeMultiString(*key, "Liste", {"C:\\Été", "D:\\"});
    key->write("Raw", RegValue{RegType::Binary, std::string("\0\x01\xFF", 3)});

    auto again = registry.open(RegRoot::LocalMachine, kKey, false);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(reg::readString(*again, "texte"), "Créer un point"); // names without regard to case
    EXPECT_EQ(again->read("Texte")->data, std::string("Cr\xE9"
                                                      "er un point\0",
                                                      15)); // 1252 with its zero
    EXPECT_EQ(reg::readInteger(*again, "RPLifeInterval"), 7776000u);
    EXPECT_EQ(reg::readMultiString(*again, "Liste"), (std::vector<std::string>{"C:\\Été", "D:\\"}));
    EXPECT_EQ(again->read("Raw")->type, RegType::Binary);
    EXPECT_EQ(again->read("Raw")->data, std::string("\0\x01\xFF", 3));
    EXPECT_THROW(reg::readInteger(*again, "Texte"), Error);
    EXPECT_EQ(reg::readString(*again, "Absent"), "");
}

TEST_F(RegistryTest, ValueNamesAndDeletion) {
    auto key = registry.open(RegRoot::LocalMachine, kKey + "\\Names", true);
    ASSERT_NE(key, nullptr);
    reg::writeString(*key, "Un", "1");
    reg::writeString(*key, "Deux", "2");
    auto names = key->valueNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Deux", "Un"}));
    EXPECT_TRUE(key->valueExists("Un"));
    EXPECT_TRUE(key->deleteValue("Un"));
    EXPECT_FALSE(key->valueExists("Un"));
    EXPECT_FALSE(key->deleteValue("Un"));
    EXPECT_EQ(key->valueNames(), std::vector<std::string>{"Deux"});
}

TEST_F(RegistryTest, AMissingKeyIsNotOpenedUnlessCreated) {
    EXPECT_EQ(registry.open(RegRoot::LocalMachine, kKey + "\\Missing\\Deeper", false), nullptr);
    EXPECT_NE(registry.open(RegRoot::ClassesRoot, ".kestrafen-test\\Deeper", true), nullptr);
    EXPECT_NE(registry.open(RegRoot::ClassesRoot, ".kestrafen-test\\Deeper", false), nullptr);
}

TEST_F(RegistryTest, LeavesAValueForTheScriptToQuery) {
    auto key = registry.open(RegRoot::LocalMachine, kKey, true);
    ASSERT_NE(key, nullptr);
    reg::writeString(*key, "ForRegQuery", "written by the test");
    reg::writeInteger(*key, "Number", 42);
}

// The settings and the exclusion lists as the program writes them; the script reads both back.
TEST_F(RegistryTest, LeavesSettingsAndAnExclusionEntryForTheScriptToQuery) {
    ASSERT_NE(registry.open(RegRoot::LocalMachine, config::systemRestoreKey, true), nullptr);
    ASSERT_NE(registry.open(RegRoot::LocalMachine, config::filesNotToBackupKey, true), nullptr);
    config::writeTimings(registry, {30, 12});
    EXPECT_EQ(config::readTimings(registry).lifetimeDays, 30);
    EXPECT_EQ(config::readTimings(registry).intervalHours, 12);
    ASSERT_TRUE(config::writeEntry(registry, config::filesNotToBackupKey, "Kestrafen", {"ab", "cd"}));
    EXPECT_EQ(config::entryLines(registry, config::filesNotToBackupKey, "Kestrafen"),
              (std::vector<std::string>{"ab", "cd"}));
}
