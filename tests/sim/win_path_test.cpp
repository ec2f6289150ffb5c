// Windows paths on the machine folder: drive letters, separators, case, relative paths and "..".
#include "platform/sim/WinPath.h"
#include "support/TestMachine.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using platform::sim::WinPath;
using testing_support::TestMachine;

namespace {

class WinPathTest : public ::testing::Test {
protected:
    TestMachine tm{TestMachine::Start::Bare};
    fs::path drives = tm.folder / "drives";
    WinPath paths{tm.folder, "C:\\Program Files\\Kestrafen\\"};
};

TEST_F(WinPathTest, DriveLetterIsUpperCasedAndBothSeparatorsWork) {
    EXPECT_EQ(paths.toHost("d:\\Data\\a.txt"), drives / "D" / "Data" / "a.txt");
    EXPECT_EQ(paths.toHost("d:/Data/a.txt"), drives / "D" / "Data" / "a.txt");
    EXPECT_EQ(paths.absolute("d:/Data/./b//c\\"), "D:\\Data\\b\\c");
    EXPECT_EQ(paths.absolute("c:"), "C:\\Program Files\\Kestrafen");
    EXPECT_EQ(paths.absolute("E:"), "E:\\");
}

TEST_F(WinPathTest, ExistingComponentsMatchWithoutRegardToCase) {
    fs::create_directories(drives / "C" / "WINDOWS" / "System32");
    fs::create_directories(drives / "C" / "Documents and Settings" / "Résumé");

    EXPECT_EQ(paths.toHost("C:\\windows\\SYSTEM32\\Restore\\srdiag.exe"),
              drives / "C" / "WINDOWS" / "System32" / "Restore" / "srdiag.exe");
    EXPECT_EQ(paths.toHost("C:\\DOCUMENTS AND SETTINGS\\RÉSUMÉ"),
              drives / "C" / "Documents and Settings" / "Résumé");
}

TEST_F(WinPathTest, AnEntryWithTheExactCaseIsPreferred) {
    fs::create_directories(drives / "C" / "data");
    fs::create_directories(drives / "C" / "DATA");

    EXPECT_EQ(paths.toHost("C:\\DATA"), drives / "C" / "DATA");
    EXPECT_EQ(paths.toHost("C:\\data"), drives / "C" / "data");
}

TEST_F(WinPathTest, RelativePathsStartAtTheCurrentFolder) {
    EXPECT_EQ(paths.currentFolder(), "C:\\Program Files\\Kestrafen\\");
    EXPECT_EQ(paths.absolute("res\\SR-ChgLog.LOG"), "C:\\Program Files\\Kestrafen\\res\\SR-ChgLog.LOG");
    EXPECT_EQ(paths.toHost("res.cab"), drives / "C" / "Program Files" / "Kestrafen" / "res.cab");
    EXPECT_EQ(paths.absolute("..\\Autre"), "C:\\Program Files\\Autre");
    EXPECT_EQ(paths.absolute("\\WINDOWS"), "C:\\WINDOWS");
    EXPECT_EQ(paths.absolute("C:res"), "C:\\Program Files\\Kestrafen\\res");
    EXPECT_EQ(paths.absolute("D:res"), "D:\\res");
}

TEST_F(WinPathTest, DotDotNeverLeavesTheDrive) {
    EXPECT_EQ(paths.toHost("C:\\WINDOWS\\..\\boot.ini"), drives / "C" / "boot.ini");
    EXPECT_EQ(paths.toHost("C:\\..\\..\\etc\\passwd"), std::nullopt);
    EXPECT_EQ(paths.toHost("..\\..\\..\\..\\x"), std::nullopt);
    EXPECT_EQ(paths.toHost("C:/WINDOWS/../../D/secret"), std::nullopt);
}

TEST_F(WinPathTest, PathsWithoutADriveOfTheMachineMapToNothing) {
    EXPECT_EQ(paths.toHost("\\\\server\\share\\file.txt"), std::nullopt);
    WinPath driveless(tm.folder, "");
    EXPECT_EQ(driveless.toHost("relative.txt"), std::nullopt);
}

} // namespace
