// Cabinets unpacked by Wine's cabinet.dll (FDI). The script writes them with gcab: a good one
// (MSZIP, with a subfolder) and hostile ones whose second entry would land outside the folder.
#include "Scratch.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <windows.h>

using platform::win32::Win32Cabinet;
using platform::win32::Win32FileSystem;
using testing_support::Scratch;

namespace {

std::string cabinet(const std::string& name) {
    return testing_support::scriptSetting("KESTRAFEN_CABINETS") + name;
}

class CabinetTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (testing_support::scriptSetting("KESTRAFEN_CABINETS").empty())
            GTEST_SKIP() << "run by wine_test.sh, which makes the cabinets";
    }
    Win32Cabinet cabinets;
    Win32FileSystem files;
    Scratch scratch;
};

std::string errorOf(Win32Cabinet& cabinets, const std::string& path, const std::string& folder) {
    try {
        cabinets.extract(path, folder);
    } catch (const platform::Error& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST_F(CabinetTest, UnpacksEveryFileIntoTheFolderCreatingIt) {
    const std::string folder = scratch.path() + "res";
    cabinets.extract(cabinet("good.cab"), folder);
    EXPECT_EQ(files.readFile(folder + "\\SR-ChgLog.LOG"), "change log\r\n");
    EXPECT_EQ(files.readFile(folder + "\\sub\\deep.txt"), "deep\n");
    // A second run replaces what the first left.
    files.writeFile(folder + "\\SR-ChgLog.LOG", "stale");
    cabinets.extract(cabinet("good.cab"), folder);
    EXPECT_EQ(files.readFile(folder + "\\SR-ChgLog.LOG"), "change log\r\n");
}

TEST_F(CabinetTest, AnEntryLeavingTheFolderIsRefusedAndNothingIsWritten) {
    struct Case {
        const char* cabinet;
        const char* entry;
        std::string outside; // where the entry would have landed
    };
    const std::vector<Case> cases = {
        {"dotdot.cab", "..\\evil.txt", scratch.path() + "evil.txt"},
        {"drive.cab", "C:\\evil.txt", "C:\\evil.txt"},
        {"absolute.cab", "\\z\\evil.txt", "C:\\z\\evil.txt"},
        {"slash.cab", "/z/evil.txt", "C:\\z\\evil.txt"},
        {"deeper.cab", "a\\..\\..\\e.t", scratch.path() + "e.t"},
    };
    for (const Case& c : cases) {
        const std::string folder = scratch.path() + "res";
        EXPECT_EQ(errorOf(cabinets, cabinet(c.cabinet), folder),
                  cabinet(c.cabinet) + ": unsafe file name '" + c.entry + "' in cabinet");
        EXPECT_FALSE(files.fileExists(c.outside)) << c.cabinet;
        EXPECT_FALSE(files.folderExists(folder)) << c.cabinet << ": the safe entry was unpacked";
    }
    EXPECT_TRUE(files.list(scratch.path()).empty());
}

TEST_F(CabinetTest, AMissingOrBrokenCabinetIsAnErrorNamingIt) {
    const std::string notACabinet = scratch.path() + "res.cab";
    files.writeFile(notACabinet, "this is no cabinet");
    EXPECT_EQ(errorOf(cabinets, scratch.path() + "none.cab", scratch.path() + "res"),
              scratch.path() + "none.cab: the cabinet does not exist");
    EXPECT_EQ(errorOf(cabinets, notACabinet, scratch.path() + "res"),
              notACabinet + ": cannot read the cabinet: not a cabinet file");
}

TEST_F(CabinetTest, ADeviceNameOrANameWindowsWouldAlterIsRefused) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"name-con.cab", "sub\\CON.txt"},       {"name-aux.cab", "aux.evil.tx"},
        {"name-com1.cab", "COM1\\ev.txt"},      {"name-lpt9.cab", "zz\\lpt9.txt"},
        {"name-blanks.cab", "evil.txt   "},     {"name-dots.cab", "evil.txt..."},
        {"name-folderdot.cab", "zz.\\evil.tx"}, {"name-com-superscript.cab", "zz\\COM¹.txt"},
    };
    for (const auto& [name, entry] : cases) {
        const std::string folder = scratch.path() + "res";
        EXPECT_EQ(errorOf(cabinets, cabinet(name), folder),
                  cabinet(name) + ": unsafe file name '" + entry + "' in cabinet");
        EXPECT_FALSE(files.folderExists(folder)) << name << ": the safe entry was unpacked";
    }
}

namespace {

DWORD WINAPI closeLater(void* file) {
    Sleep(400);
    CloseHandle(static_cast<HANDLE>(file));
    return 0;
}

} // namespace

TEST_F(CabinetTest, ACabinetStillOpenForWritingOrBrieflyLockedIsRead) {
    const std::string copy = scratch.path() + "res.cab";
    ASSERT_TRUE(files.copy(cabinet("good.cab"), copy));
    // Held open for writing by the tool that made it, which lets others read.
    const HANDLE writer =
        CreateFileA(copy.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(errorOf(cabinets, copy, scratch.path() + "res"), "");
    CloseHandle(writer);
    // Held without sharing for a moment, then let go.
    const HANDLE locked = CreateFileA(copy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    const HANDLE thread = CreateThread(nullptr, 0, closeLater, locked, 0, nullptr);
    EXPECT_EQ(errorOf(cabinets, copy, scratch.path() + "res2"), "");
    EXPECT_EQ(files.readFile(scratch.path() + "res2\\SR-ChgLog.LOG"), "change log\r\n");
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}
