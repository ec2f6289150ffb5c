// The sample machine a new user starts with must hang together: points the service can list, the
// settings and exclusion lists the windows read, a change log whose records belong to its points.
#include "platform/Registry.h"
#include "support/TestMachine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

using platform::RegRoot;
using testing_support::TestMachine;

namespace {

TEST(SampleMachine, PointsAreListableAndTheirOffsetsAreThoseOfFrance) {
    TestMachine tm;
    auto& sr = tm.machine->platform().systemRestore;
    const auto points = tm.json()["system_restore"]["points"];
    ASSERT_GE(points.size(), 10u);

    std::set<long long> types;
    long long previous = 0;
    for (const auto& point : points) {
        const std::string cim = point["CreationTime"];
        ASSERT_EQ(cim.size(), 25u) << cim;
        const auto local = sr.toLocalTime(std::stoi(cim.substr(0, 4)), std::stoi(cim.substr(4, 2)),
                                          std::stoi(cim.substr(6, 2)), std::stoi(cim.substr(8, 2)),
                                          std::stoi(cim.substr(10, 2)), std::stoi(cim.substr(12, 2)),
                                          std::stoi(cim.substr(15, 6)), std::stoi(cim.substr(21, 4)));
        // Written in French local time, the instant converts back to the same wall-clock time.
        EXPECT_EQ(local.hour, std::stoi(cim.substr(8, 2))) << cim;
        EXPECT_EQ(local.day, std::stoi(cim.substr(6, 2))) << cim;
        const long long sequence = point["SequenceNumber"];
        EXPECT_GT(sequence, previous);
        previous = sequence;
        types.insert(point["RestorePointType"].get<long long>());
    }
    EXPECT_LT(previous, tm.json()["system_restore"]["next_sequence_number"].get<long long>());
    EXPECT_TRUE(types.count(0) && types.count(1) && types.count(7) && types.count(10) && types.count(12));
}

TEST(SampleMachine, RegistryHoldsTheServiceStateSettingsAndExclusionLists) {
    TestMachine tm;
    auto& registry = tm.machine->platform().registry;
    auto service = registry.open(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Services\\sr", false);
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(platform::reg::readInteger(*service, "Start"), 0u);

    auto settings = registry.open(RegRoot::LocalMachine,
                                  "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SystemRestore", false);
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(platform::reg::readInteger(*settings, "RPLifeInterval"), 90u * 86400);
    EXPECT_EQ(platform::reg::readInteger(*settings, "RPGlobalInterval"), 24u * 3600);

    auto cfg = registry.open(RegRoot::LocalMachine,
                             "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SystemRestore\\Cfg", false);
    ASSERT_NE(cfg, nullptr);
    EXPECT_EQ(platform::reg::readString(*cfg, "MachineGuid").size(), 38u);

    for (const char* list : {"FilesNotToBackup", "KeysNotToRestore"}) {
        auto key =
            registry.open(RegRoot::LocalMachine,
                          std::string("SYSTEM\\ControlSet001\\Control\\BackupRestore\\") + list, false);
        ASSERT_NE(key, nullptr) << list;
        ASSERT_GE(key->valueNames().size(), 3u) << list;
        for (const auto& name : key->valueNames())
            EXPECT_FALSE(platform::reg::readMultiString(*key, name).empty()) << list << " " << name;
    }

    auto htc = registry.open(RegRoot::ClassesRoot, ".htc", false);
    ASSERT_NE(htc, nullptr);
    EXPECT_EQ(platform::reg::readString(*htc, ""), "htcfile");
}

TEST(SampleMachine, ChangeLogRecordsBelongToPointsOfTheMachine) {
    TestMachine tm;
    std::set<std::string> folders;
    for (const auto& point : tm.json()["system_restore"]["points"])
        folders.insert("RP" + std::to_string(point["SequenceNumber"].get<long long>()));

    std::ifstream log(tm.folder / "sr-chglog.log", std::ios::binary);
    std::set<std::string> logged;
    for (std::string line; std::getline(log, line);) {
        const auto at = line.find("RPDir=");
        if (at == std::string::npos)
            continue;
        const std::string folder = line.substr(at + 6, line.find(',', at) - at - 6);
        EXPECT_TRUE(folders.count(folder)) << line;
        logged.insert(folder);
        for (const char* key : {"Drive=", "EventString=", "Path1=", "Path2=", "Temp="})
            EXPECT_NE(line.find(key), std::string::npos) << line;
    }
    EXPECT_GE(logged.size(), 4u);
}

TEST(SampleMachine, DiagnosticToolAndUserFoldersArePresent) {
    TestMachine tm;
    auto& files = tm.machine->platform().files;
    EXPECT_TRUE(files.fileExists("C:\\WINDOWS\\system32\\Restore\\srdiag.exe"));
    EXPECT_TRUE(files.folderExists("C:\\Documents and Settings\\Utilisateur\\Bureau"));
    EXPECT_TRUE(files.folderExists("D:\\"));
    EXPECT_TRUE(files.folderExists(tm.machine->programFolder()));
}

} // namespace
