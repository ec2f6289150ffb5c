#include "platform/Error.h"
#include "platform/sim/Services.h"
#include "support/TestMachine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using platform::RegRoot;
using testing_support::TestMachine;
namespace reg = platform::reg;

namespace {

const std::string kSr = "SYSTEM\\CurrentControlSet\\Services\\sr";

std::string registryText(const TestMachine& m) {
    std::ifstream in(m.folder / "registry.reg", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

platform::Registry& registryOf(TestMachine& m) {
    return m.machine->platform().registry;
}

} // namespace

TEST(SimRegistry, OpeningAMissingKeyWithoutCreateGivesNothing) {
    TestMachine m(TestMachine::Start::Bare);
    EXPECT_EQ(registryOf(m).open(RegRoot::LocalMachine, "SOFTWARE\\Nothing", false), nullptr);
    EXPECT_FALSE(std::filesystem::exists(m.folder / "registry.reg"));
}

TEST(SimRegistry, CreatingAKeyAndWritingAValueRewritesTheFile) {
    TestMachine m(TestMachine::Start::Bare);
    auto key = registryOf(m).open(RegRoot::ClassesRoot, ".htc", true);
    ASSERT_NE(key, nullptr);
    EXPECT_NE(registryText(m).find("[HKEY_CLASSES_ROOT\\.htc]\r\n"), std::string::npos);
    reg::writeString(*key, "", "htcfile");
    EXPECT_NE(registryText(m).find("[HKEY_CLASSES_ROOT\\.htc]\r\n@=\"htcfile\"\r\n"), std::string::npos);

    m.reopen();
    auto again = registryOf(m).open(RegRoot::ClassesRoot, ".HTC", false);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(reg::readString(*again, ""), "htcfile");
}

TEST(SimRegistry, KeysAndValuesMatchWithoutCase) {
    TestMachine m;
    auto key = registryOf(m).open(RegRoot::LocalMachine, "system\\currentcontrolset\\services\\SR", false);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(reg::readInteger(*key, "START"), 0u);
    reg::writeInteger(*key, "start", 4);
    EXPECT_NE(registryText(m).find("\"Start\"=dword:00000004\r\n"), std::string::npos);
    EXPECT_EQ(registryText(m).find("\"start\""), std::string::npos);
}

TEST(SimRegistry, AKeyListedOnlyThroughItsSubkeysExists) {
    TestMachine m;
    auto parent = registryOf(m).open(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT", false);
    ASSERT_NE(parent, nullptr);
    EXPECT_TRUE(parent->valueNames().empty());
    EXPECT_EQ(registryOf(m).open(RegRoot::LocalMachine, "SOFTWARE\\Micro", false), nullptr);
}

TEST(SimRegistry, DeletingAValueRewritesTheFile) {
    TestMachine m;
    auto key = registryOf(m).open(RegRoot::LocalMachine, kSr, false);
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->valueExists("Tag"));
    EXPECT_TRUE(key->deleteValue("tag"));
    EXPECT_FALSE(key->valueExists("Tag"));
    EXPECT_FALSE(key->deleteValue("Tag"));
    EXPECT_EQ(registryText(m).find("\"Tag\""), std::string::npos);
}

TEST(SimRegistry, AKeyStaysUsableWhileOtherKeysAreCreated) {
    TestMachine m(TestMachine::Start::Bare);
    auto first = registryOf(m).open(RegRoot::LocalMachine, "SOFTWARE\\A", true);
    for (int i = 0; i < 20; ++i)
        registryOf(m).open(RegRoot::LocalMachine, "SOFTWARE\\B" + std::to_string(i), true);
    reg::writeMultiString(*first, "Files", {"x", "y"});
    EXPECT_EQ(reg::readMultiString(*first, "Files"), (std::vector<std::string>{"x", "y"}));
    EXPECT_NE(
        registryText(m).find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n\"Files\"=hex(7):78,00,79,00,00\r\n"),
        std::string::npos);
}

TEST(SimRegistry, FullAccessOpensOnlyExistingKeys) {
    TestMachine m;
    auto key = registryOf(m).openFullAccess(RegRoot::LocalMachine, kSr);
    ASSERT_NE(key, nullptr);
    reg::writeInteger(*key, "Start", 4);
    EXPECT_EQ(reg::readInteger(*key, "Start"), 4u);
    EXPECT_EQ(registryOf(m).openFullAccess(RegRoot::LocalMachine, "SOFTWARE\\Nothing"), nullptr);
    EXPECT_EQ(registryOf(m).open(RegRoot::LocalMachine, "SOFTWARE\\Nothing", false), nullptr);
}

TEST(SimRegistry, ReadOnlyRegistryRefusesCreationAndWrites) {
    TestMachine m;
    m.json()["registry_read_only"] = true;
    m.save();
    const std::string before = registryText(m);

    EXPECT_EQ(registryOf(m).open(RegRoot::LocalMachine, kSr, true), nullptr);
    EXPECT_EQ(registryOf(m).openFullAccess(RegRoot::LocalMachine, kSr), nullptr);
    auto key = registryOf(m).open(RegRoot::LocalMachine, kSr, false);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(reg::readInteger(*key, "Start"), 0u);
    try {
        reg::writeInteger(*key, "Start", 4);
        FAIL() << "the write was not refused";
    } catch (const platform::Error& e) {
        EXPECT_EQ(std::string(e.what()), "Failed to set data for 'Start'");
    }
    EXPECT_FALSE(key->deleteValue("Start"));
    EXPECT_EQ(reg::readInteger(*key, "Start"), 0u);
    EXPECT_EQ(registryText(m), before);
}

TEST(SimRegistry, TextIsWindows1252InTheFileAndUtf8InTheProgram) {
    TestMachine m;
    auto key = registryOf(m).open(RegRoot::LocalMachine, kSr, false);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(reg::readString(*key, "DisplayName"), "Filtre du système de restauration");
    reg::writeString(*key, "Description", "Créer");
    EXPECT_NE(registryText(m).find("\"Description\"=\"Cr\351er\"\r\n"), std::string::npos);
}
