#include "config/ExclusionLists.h"
#include "config/MultiString.h"
#include "config/Repair.h"
#include "platform/Error.h"
#include "support/TestMachine.h"

#include <gtest/gtest.h>

using namespace config;
using namespace std::string_literals;
using Lines = std::vector<std::string>;

namespace {

TEST(MultiString, ReadWalksEveryByteButTheLast) {
    const struct {
        std::string bytes;
        Lines lines;
    } cases[] = {
        {"a\0b\0\0"s, {"a", "b"}},
        {"\0"s, {}},
        {"\0\0"s, {""}},
        {""s, {}},
        {"a\0bc"s, {"a"}}, // no final zero: what follows the last zero is dropped
        {"abc\0"s, {}},    // the last byte is not looked at
        {"a\0\0b\0\0"s, {"a", "", "b"}},
        {"caf\xe9\0\0"s, {"café"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(multiStringLines(c.bytes), c.lines) << c.bytes.size() << " bytes";
}

TEST(MultiString, WriteEndsEachLineAndTheList) {
    const struct {
        Lines lines;
        std::string bytes;
    } cases[] = {
        {{"a", "b"}, "a\0b\0\0"s},  {{}, "\0"s}, {{""}, "\0\0"s}, {{"a", "", "b"}, "a\0\0b\0\0"s},
        {{"café"}, "caf\xe9\0\0"s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(multiStringBytes(c.lines), c.bytes);
        EXPECT_EQ(multiStringLines(c.bytes), c.lines);
    }
}

struct ListsTest : ::testing::Test {
    testing_support::TestMachine tm;
    platform::Platform p = tm.machine->platform();

    std::unique_ptr<platform::RegistryKey> files() {
        return p.registry.open(platform::RegRoot::LocalMachine, filesNotToBackupKey, false);
    }
};

TEST_F(ListsTest, TextAndNumberValuesAreRefusedBinaryIsRead) {
    auto key = files();
    platform::reg::writeString(*key, "text", "x");
    platform::reg::writeInteger(*key, "number", 1);
    key->write("expand", {platform::RegType::ExpandSz, "x\0"s});
    key->write("binary", {platform::RegType::Binary, "x\0y\0\0"s});
    for (const char* name : {"text", "number", "expand"}) {
        try {
            entryLines(p.registry, filesNotToBackupKey, name);
            ADD_FAILURE() << name << " was read";
        } catch (const platform::Error& error) {
            EXPECT_EQ(std::string(error.what()), "Invalid data type for '"s + name + "'");
        }
    }
    EXPECT_EQ(entryLines(p.registry, filesNotToBackupKey, "binary"), (Lines{"x", "y"}));
    EXPECT_EQ(entryLines(p.registry, filesNotToBackupKey, "missing"), Lines{});
}

TEST_F(ListsTest, AMissingKeyHasNoEntriesAndTakesNoWrites) {
    const char* missing = "SYSTEM\\ControlSet001\\Control\\BackupRestore\\Nothing";
    EXPECT_FALSE(entryNames(p.registry, missing));
    EXPECT_FALSE(writeEntry(p.registry, missing, "x", {"a"}));
    EXPECT_FALSE(deleteEntry(p.registry, missing, "x"));
    EXPECT_FALSE(p.registry.open(platform::RegRoot::LocalMachine, missing, false));
}

struct RepairFilesTest : ::testing::Test {
    testing_support::TestMachine tm{testing_support::TestMachine::Start::Bare};
    platform::Platform p = tm.machine->platform();
};

TEST_F(RepairFilesTest, EachFileComesFromItsFirstExistingSource) {
    const std::string s = "C:\\WINDOWS\\system32", sp = "C:\\WINDOWS\\ServicePackFiles\\i386";
    const struct {
        std::vector<std::pair<std::string, std::string>> present; // path, content
        std::vector<std::pair<std::string, std::string>> expected;
        std::vector<std::string> absent;
    } cases[] = {
        // The cache wins: the service-pack copy is not used.
        {{{s + "\\dllcache\\Framedyn.dll", "cache"}, {sp + "\\Framedyn.dll", "pack"}},
         {{s + "\\wbem\\Framedyn.dll", "cache"}, {s + "\\Framedyn.dll", "cache"}},
         {s + "\\srclient.dll"}},
        {{{sp + "\\srclient.dll", "pack"}}, {{s + "\\srclient.dll", "pack"}}, {s + "\\Framedyn.dll"}},
        {{{sp + "\\Framedyn.dll", "pack"}, {s + "\\dllcache\\srclient.dll", "cache"}},
         {{s + "\\wbem\\Framedyn.dll", "pack"},
          {s + "\\Framedyn.dll", "pack"},
          {s + "\\srclient.dll", "cache"}},
         {}},
        {{}, {{s + "\\wbem\\Framedyn.dll", "old"}}, {s + "\\Framedyn.dll", s + "\\srclient.dll"}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(tm.host("C:\\WINDOWS"));
        for (const auto& [path, content] : c.present)
            tm.write(path, content);
        // An existing target is overwritten.
        tm.write(s + "\\wbem\\Framedyn.dll", "old");
        restoreFiles(p.files, fileRestorations("C:\\WINDOWS"));
        for (const auto& [path, content] : c.expected)
            EXPECT_EQ(tm.read(path), content) << path;
        for (const auto& path : c.absent)
            EXPECT_FALSE(std::filesystem::exists(tm.host(path))) << path;
    }
}

TEST_F(ListsTest, HtcValuesAreWrittenUnderClassesRootCreatingKeys) {
    writeClassesValues(p.registry, platform::RegRoot::ClassesRoot, htcAssociation("C:\\WINDOWS\\system32"));
    const auto server =
        p.registry.open(platform::RegRoot::ClassesRoot,
                        "CLSID\\{3050f4f8-98b5-11cf-bb82-00aa00bdce0b}\\InProcServer32", false);
    ASSERT_TRUE(server);
    EXPECT_EQ(platform::reg::readString(*server, ""), "C:\\WINDOWS\\system32\\mshtml.dll");
    EXPECT_EQ(platform::reg::readString(*server, "ThreadingModel"), "Apartment");
    const auto htc = p.registry.open(platform::RegRoot::ClassesRoot, ".htc", false);
    ASSERT_TRUE(htc);
    EXPECT_EQ(platform::reg::readString(*htc, "Content Type"), "text/x-component");
    EXPECT_EQ(platform::reg::readString(*htc, ""), "htcfile");

    // A registry that lets no key be created skips every write without an error.
    tm.json()["registry_read_only"] = true;
    tm.save();
    platform::Platform readOnly = tm.machine->platform();
    EXPECT_NO_THROW(
        writeClassesValues(readOnly.registry, platform::RegRoot::ClassesRoot, {{"NewKey", "x", "y"}}));
    EXPECT_FALSE(readOnly.registry.open(platform::RegRoot::ClassesRoot, "NewKey", false));
}

} // namespace
