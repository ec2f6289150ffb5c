// System Restore's store on Wine's system drive: a test lays a System Volume Information folder
// with one point, and the program lists the point's changes and saves a copy from it.
#include "Scratch.h"

#include "platform/sim/ChangeLogWriter.h"
#include "restore/FileRecovery.h"

#include <gtest/gtest.h>

using testing_support::Scratch;

TEST(RestoreStore, ListsAPointsChangesAndSavesACopyFromSystemVolumeInformation) {
    KESTRAFEN_ONLY_UNDER_WINE(); // lays a folder on the system drive
    platform::win32::Win32FileSystem files;
    platform::win32::Win32RestoreStore store;
    const auto volume = store.volumeDevice("C:");
    ASSERT_TRUE(volume);
    const std::string info = "C:\\System Volume Information\\";
    const std::string point = info + "_restore{0D1B1C2A-3E4F-4A5B-8C6D-7E8F9A0B1C2D}\\RP7\\";
    const bool laid = files.createFolder(info);
    files.createFolder(info + "_restore{0D1B1C2A-3E4F-4A5B-8C6D-7E8F9A0B1C2D}");
    files.createFolder(point);
    platform::sim::LoggedChange change;
    change.type = 0x1; // modified
    change.sequence = 5;
    change.process = "setup.exe";
    change.firstPath = *volume + "\\WINDOWS\\system32\\msvcr71.dll";
    change.copyPath = *volume + "\\System Volume Information\\_restore{…}\\RP7\\A0000005.dll";
    files.writeFile(point + "change.log", platform::sim::changeLogBytes(*volume, {change}));
    files.writeFile(point + "A0000005.dll", "MZ original");

    const restore::PointFiles read = restore::readPointFiles(store, {"C:\\"}, "RP7");
    ASSERT_EQ(read.changes.size(), 1u);
    EXPECT_TRUE(read.problems.empty());
    EXPECT_EQ(read.changes[0].path, "C:\\WINDOWS\\system32\\msvcr71.dll");
    EXPECT_EQ(read.changes[0].process, "setup.exe");
    EXPECT_EQ(read.changes[0].copySize, 11u);
    Scratch scratch;
    const restore::Recovery saved = restore::saveCopy(files, store, read.changes[0], scratch.path(), false);
    EXPECT_EQ(saved.status, restore::Recovery::Status::Done) << saved.key << " " << saved.detail;
    EXPECT_EQ(files.readFile(scratch.path() + "msvcr71.dll"), "MZ original");

    files.deleteTree(laid ? info : info + "_restore{0D1B1C2A-3E4F-4A5B-8C6D-7E8F9A0B1C2D}");
}
