// The simulated System Restore service: enumeration, switching on and off, the srclient calls,
// rollback with restart, the date-time converter, and what each request leaves in the journal.
#include "platform/Error.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "support/TestMachine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>

using platform::RestorePointInfoA;
using platform::StateMgrStatus;
using platform::WmiInstance;
using testing_support::TestMachine;

namespace {

class ServiceTest : public ::testing::Test {
protected:
    TestMachine tm;
    // Asked for anew at each use: save() reopens the machine.
    platform::Platform p() { return tm.machine->platform(); }

    std::uint32_t start() {
        auto key = p().registry.open(platform::RegRoot::LocalMachine,
                                     "SYSTEM\\CurrentControlSet\\Services\\sr", false);
        return platform::reg::readInteger(*key, "Start");
    }
    nlohmann::ordered_json points() { return tm.json()["system_restore"]["points"]; }
    std::string lastJournalLine() { return tm.journal().empty() ? "" : tm.journal().back(); }

    static RestorePointInfoA info(const std::string& utf8Description, std::uint32_t type = 7) {
        RestorePointInfoA info;
        info.eventType = 100;
        info.restorePointType = type;
        const std::string bytes = platform::text::toCp1252(utf8Description);
        std::memcpy(info.description.data(), bytes.data(), std::min(bytes.size(), info.description.size()));
        return info;
    }
    // The property names of an instance, in the service's order.
    static std::vector<std::string> names(const WmiInstance& instance) {
        std::vector<std::string> out;
        for (const auto& property : instance)
            out.push_back(property.name);
        return out;
    }
};

TEST_F(ServiceTest, EnumerationKeepsTheFileOrderOfPointsAndProperties) {
    tm.json()["system_restore"]["points"] = nlohmann::ordered_json::parse(R"([
        {"SequenceNumber": 9, "Description": "Deuxième", "CreationTime": "20061004153000.000000+120"},
        {"RestorePointType": "sept", "Description": null}
    ])");
    tm.save();

    const auto instances = p().systemRestore.restorePoints();
    ASSERT_EQ(instances.size(), 2u);
    EXPECT_EQ(names(instances[0]),
              (std::vector<std::string>{"SequenceNumber", "Description", "CreationTime"}));
    EXPECT_EQ(instances[0][0].value.asInteger(), 9);
    EXPECT_EQ(instances[0][1].value.asText(), "Deuxième");
    EXPECT_EQ(names(instances[1]), (std::vector<std::string>{"RestorePointType", "Description"}));
    EXPECT_THROW(instances[1][0].value.asInteger(), platform::Error);
    EXPECT_TRUE(instances[1][1].value.isNull());
}

TEST_F(ServiceTest, FailuresOfTheServiceAreErrorsWhenAsked) {
    EXPECT_EQ(p().systemRestore.restorePoints().size(), 14u);
    EXPECT_NE(p().systemRestore.automationObject(), nullptr);

    tm.json()["system_restore"]["connection_fails"] = true;
    tm.json()["system_restore"]["automation_fails"] = true;
    tm.save();
    EXPECT_THROW(p().systemRestore.restorePoints(), platform::Error);
    EXPECT_THROW(p().systemRestore.automationObject(), platform::Error);
}

TEST_F(ServiceTest, DisableOnTheSystemDriveSwitchesOffAtOnceAndDropsEveryPoint) {
    p().systemRestore.automationObject()->Disable("C:\\");

    EXPECT_EQ(start(), 4u);
    EXPECT_TRUE(p().systemRestore.restorePoints().empty());
    EXPECT_EQ(lastJournalLine(), "Disable C:\\");

    tm.reopen(); // both files hold the new state
    EXPECT_EQ(tm.machine->platform().systemRestore.restorePoints().size(), 0u);
    auto key = tm.machine->platform().registry.open(platform::RegRoot::LocalMachine,
                                                    "SYSTEM\\CurrentControlSet\\Services\\sr", false);
    EXPECT_EQ(platform::reg::readInteger(*key, "Start"), 4u);
}

TEST_F(ServiceTest, EnableOnTheSystemDriveAddsACheckpointOnceTheDelayHasPassed) {
    auto sr = p().systemRestore.automationObject();
    sr->Disable("C:\\");
    sr->Enable("c:\\");
    EXPECT_EQ(start(), 0u);
    EXPECT_EQ(lastJournalLine(), "Enable c:\\");

    p().process.sleep(1499);
    EXPECT_TRUE(p().systemRestore.restorePoints().empty());
    p().process.sleep(1);
    const auto instances = p().systemRestore.restorePoints();
    ASSERT_EQ(instances.size(), 1u);
    // The virtual clock starts at 2006-12-01 19:06:40 UTC: 20:06:41 in France, 1.5 s later.
    EXPECT_EQ(points()[0], nlohmann::ordered_json::parse(R"({"CreationTime": "20061201200641.000000+060",
        "Description": "Point de vérification système", "EventType": 100, "RestorePointType": 7,
        "SequenceNumber": 54})"));
    EXPECT_EQ(names(instances[0]), (std::vector<std::string>{"CreationTime", "Description", "EventType",
                                                             "RestorePointType", "SequenceNumber"}));
}

TEST_F(ServiceTest, SwitchingOffBeforeTheCheckpointCancelsIt) {
    auto sr = p().systemRestore.automationObject();
    sr->Disable("C:\\");
    sr->Enable("C:\\");
    p().process.sleep(1000);
    sr->Disable("C:\\");
    p().process.sleep(5000);
    EXPECT_TRUE(p().systemRestore.restorePoints().empty());
}

TEST_F(ServiceTest, OtherDrivesAreListedAsNotMonitored) {
    auto sr = p().systemRestore.automationObject();
    sr->Disable("D:\\");
    sr->Disable("d:\\");
    EXPECT_EQ(tm.json()["system_restore"]["monitored_drives_off"],
              nlohmann::ordered_json::parse(R"(["D:\\"])"));
    EXPECT_EQ(start(), 0u);
    EXPECT_EQ(points().size(), 14u);

    sr->Enable("d:\\");
    EXPECT_EQ(tm.json()["system_restore"]["monitored_drives_off"], nlohmann::ordered_json::array());
    p().process.sleep(5000);
    EXPECT_EQ(points().size(), 14u); // no checkpoint for another drive
    EXPECT_EQ(tm.journal(), (std::vector<std::string>{"Disable D:\\", "Disable d:\\", "Enable d:\\"}));
    const auto drives = p().systemRestore.drives();
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[0].totalBytes, 42949672960u); // 40 Go
    EXPECT_EQ(drives[1].totalBytes, 128849018880u);
}

// What a drive's System Volume Information holds (Windows path and size; -1 for a folder), and the
// one folder of it closed to the program, if any.
TEST_F(ServiceTest, AStoreHoldsTheBytesOfItsRestoreFoldersAndCountsTheirPoints) {
    namespace fs = std::filesystem;
    const std::string volumeInfo = "D:\\System Volume Information",
                      store = volumeInfo + "\\_restore{6C1B2A3D}\\";
    const struct {
        std::vector<std::pair<std::string, int>> entries;
        std::string closed;
        std::optional<platform::StoreUsage> usage;
    } cases[] = {
        {{}, "", platform::StoreUsage{0, 0}},
        {{{volumeInfo + "\\tracking.log", 50}}, "", platform::StoreUsage{0, 0}},
        {{{store + "RP1\\change.log", 100},
          {store + "RP2\\snapshot\\_REGISTRY_MACHINE_SAM", 20},
          {store + "rp3", -1},
          {store + "RPx", -1},
          {store + "drivetable.txt", 3}},
         "",
         platform::StoreUsage{123, 3}},
        {{{store + "RP1\\change.log", 100}}, volumeInfo, std::nullopt},
        {{{store + "RP1\\change.log", 100}}, store + "RP1", std::nullopt},
    };
    for (const auto& c : cases) {
        fs::remove_all(tm.host(volumeInfo));
        for (const auto& [path, size] : c.entries)
            size < 0 ? (void)fs::create_directories(tm.host(path)) : tm.write(path, std::string(size, 'x'));
        if (!c.closed.empty())
            fs::permissions(tm.host(c.closed), fs::perms::all, fs::perm_options::remove);
        EXPECT_EQ(p().systemRestore.storeUsage("D:\\"), c.usage) << c.entries.size() << " " << c.closed;
        if (!c.closed.empty())
            fs::permissions(tm.host(c.closed), fs::perms::owner_all);
    }
}

TEST_F(ServiceTest, SetRestorePointAddsPointsWithIncreasingSequenceNumbers) {
    StateMgrStatus status;
    ASSERT_TRUE(p().systemRestore.SRSetRestorePointA(info("Avant mise à jour"), status));
    EXPECT_EQ(status.status, 0u);
    EXPECT_EQ(status.sequenceNumber, 54);

    tm.clock->advance(60000);
    ASSERT_TRUE(p().systemRestore.SRSetRestorePointA(info("Second"), status));
    EXPECT_EQ(status.sequenceNumber, 55);

    const auto all = points();
    ASSERT_EQ(all.size(), 16u);
    EXPECT_EQ(all[14]["Description"], "Avant mise à jour");
    EXPECT_EQ(all[14]["CreationTime"], "20061201200640.000000+060");
    EXPECT_EQ(all[14]["RestorePointType"], 7);
    EXPECT_EQ(all[15]["CreationTime"], "20061201200740.000000+060");
    EXPECT_EQ(tm.json()["system_restore"]["next_sequence_number"], 56);
    EXPECT_EQ(tm.journal(), (std::vector<std::string>{"SRSetRestorePointA 100 7 Avant mise à jour",
                                                      "SRSetRestorePointA 100 7 Second"}));
}

TEST_F(ServiceTest, SetRestorePointCanBeMadeToFail) {
    tm.json()["system_restore"]["set_restore_point_succeeds"] = false;
    tm.save();
    StateMgrStatus status;
    EXPECT_FALSE(p().systemRestore.SRSetRestorePointA(info("Refusé"), status));
    EXPECT_NE(status.status, 0u);
    EXPECT_EQ(points().size(), 14u);
    EXPECT_EQ(tm.json()["system_restore"]["next_sequence_number"], 54);
    EXPECT_EQ(lastJournalLine(), "SRSetRestorePointA 100 7 Refusé");
}

TEST_F(ServiceTest, SequenceNumbersGoOnAfterTheHighestWhenTheMachineKeepsNoCounter) {
    tm.json()["system_restore"].erase("next_sequence_number");
    tm.save();
    StateMgrStatus status;
    ASSERT_TRUE(p().systemRestore.SRSetRestorePointA(info("Suite"), status));
    EXPECT_EQ(status.sequenceNumber, 54); // the sample's highest is 53
}

TEST_F(ServiceTest, RemoveRestorePointRemovesOnlyAnExistingPoint) {
    EXPECT_EQ(p().systemRestore.SRRemoveRestorePoint(45), 0u);
    EXPECT_NE(p().systemRestore.SRRemoveRestorePoint(45), 0u);
    EXPECT_NE(p().systemRestore.SRRemoveRestorePoint(47), 0u);

    const auto all = points();
    EXPECT_EQ(all.size(), 13u);
    for (const auto& point : all)
        EXPECT_NE(point["SequenceNumber"], 45);
    EXPECT_EQ(tm.journal(), (std::vector<std::string>{"SRRemoveRestorePoint 45", "SRRemoveRestorePoint 45",
                                                      "SRRemoveRestorePoint 47"}));
}

TEST_F(ServiceTest, RestoreTakesEffectAtTheRestart) {
    int restarts = 0;
    tm.machine->onRestart = [&] { ++restarts; };
    // A point the service does not hold is refused and leaves nothing pending.
    EXPECT_EQ(p().systemRestore.automationObject()->Restore(47), 0x80070057u);
    EXPECT_TRUE(tm.json()["system_restore"]["pending_restore"].is_null());
    EXPECT_EQ(p().systemRestore.automationObject()->Restore(45), 0u);
    EXPECT_EQ(tm.json()["system_restore"]["pending_restore"], 45);
    EXPECT_EQ(points().size(), 14u);

    p().shell.runCommand("/c shutdown -r -t 0");
    EXPECT_EQ(restarts, 1);
    EXPECT_TRUE(tm.json()["system_restore"]["pending_restore"].is_null());
    const auto all = points();
    ASSERT_EQ(all.size(), 15u);
    EXPECT_EQ(all[14]["RestorePointType"], 6);
    EXPECT_EQ(all[14]["SequenceNumber"], 54);
    EXPECT_EQ(all[14]["Description"], "Opération de restauration"); // in the machine's language
    EXPECT_EQ(tm.journal(),
              (std::vector<std::string>{"Restore 47", "Restore 45", "CMD /c shutdown -r -t 0", "Restart"}));

    p().shell.runCommand("/c shutdown -r -t 0"); // nothing pending: a plain restart
    EXPECT_EQ(restarts, 2);
    EXPECT_EQ(points().size(), 15u);

    // A machine that names no descriptions speaks English.
    tm.json()["system_restore"].erase("descriptions");
    tm.json()["system_restore"]["pending_restore"] = 45;
    tm.save();
    p().shell.runCommand("/c shutdown -r -t 0");
    ASSERT_EQ(points().size(), 16u);
    EXPECT_EQ(points()[15]["Description"], "Restore Operation");
}

TEST_F(ServiceTest, DateTimeConverterGivesTheLocalTimeOfTheInstant) {
    auto& sr = tm.machine->platform().systemRestore;
    auto local = [&](int y, int mo, int d, int h, int mi, int s, int offset) {
        const auto t = sr.toLocalTime(y, mo, d, h, mi, s, 0, offset);
        char text[32];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                      t.minute, t.second);
        return std::string(text);
    };
    EXPECT_EQ(local(2006, 10, 4, 15, 30, 0, 120), "2006-10-04 15:30:00");
    EXPECT_EQ(local(2006, 10, 30, 0, 0, 0, 60), "2006-10-30 00:00:00");
    EXPECT_EQ(local(2006, 7, 1, 12, 0, 0, 0), "2006-07-01 14:00:00");
    EXPECT_EQ(local(2006, 12, 31, 23, 30, 5, -300), "2007-01-01 05:30:05");
    EXPECT_EQ(local(2004, 2, 29, 8, 0, 0, 60), "2004-02-29 08:00:00");

    EXPECT_THROW(sr.toLocalTime(2006, 2, 29, 8, 0, 0, 0, 60), platform::Error);
    EXPECT_THROW(sr.toLocalTime(2006, 13, 1, 8, 0, 0, 0, 60), platform::Error);
    EXPECT_THROW(sr.toLocalTime(2006, 4, 31, 8, 0, 0, 0, 60), platform::Error);
    EXPECT_THROW(sr.toLocalTime(2006, 4, 1, 24, 0, 0, 0, 60), platform::Error);
    EXPECT_THROW(sr.toLocalTime(2006, 4, 1, 8, 60, 0, 0, 60), platform::Error);
    EXPECT_THROW(sr.toLocalTime(2006, 4, 1, 8, 0, 0, 1000000, 60), platform::Error);
}

TEST(WmiValue, ConvertsAsTheScriptingInterfaceDoes) {
    using platform::WmiValue;
    EXPECT_EQ(WmiValue(42LL).asText(), "42");
    EXPECT_EQ(WmiValue(-7LL).asInteger(), -7);
    EXPECT_EQ(WmiValue(std::string("120")).asInteger(), 120);
    EXPECT_EQ(WmiValue(std::string("+060")).asInteger(), 60);
    EXPECT_EQ(WmiValue().asText(), "");
    EXPECT_TRUE(WmiValue().isNull());
    try {
        (void)WmiValue(std::string("12a")).asInteger();
        FAIL() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_STREQ(e.what(), platform::notAnInteger("12a").what());
    }
    EXPECT_THROW((void)WmiValue().asInteger(), platform::Error);
}

TEST(RestorePointInfo, IsEightyLittleEndianBytesWithoutPadding) {
    RestorePointInfoA info;
    info.eventType = 100;
    info.restorePointType = 7;
    info.sequenceNumber = 0x0102030405060708;
    std::memcpy(info.description.data(), "Avant", 5);

    const auto raw = info.bytes();
    const std::uint8_t head[16] = {100, 0, 0, 0, 7, 0, 0, 0, 8, 7, 6, 5, 4, 3, 2, 1};
    EXPECT_EQ(std::memcmp(raw.data(), head, 16), 0);
    EXPECT_EQ(std::memcmp(raw.data() + 16, "Avant\0", 6), 0);
    EXPECT_EQ(raw[79], 0);

    const auto back = RestorePointInfoA::fromBytes(raw);
    EXPECT_EQ(back.eventType, 100u);
    EXPECT_EQ(back.restorePointType, 7u);
    EXPECT_EQ(back.sequenceNumber, 0x0102030405060708);
    EXPECT_EQ(back.descriptionBytes(), "Avant");

    RestorePointInfoA full;
    full.description.fill('x'); // no terminating zero: all 64 bytes count
    EXPECT_EQ(full.descriptionBytes(), std::string(64, 'x'));
}

} // namespace
