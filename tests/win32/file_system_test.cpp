// Files and folders on Wine's kernel32 and shell32.
#include "Scratch.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <windows.h>

using platform::win32::Win32FileSystem;
using testing_support::Scratch;

namespace {

class FileSystemTest : public ::testing::Test {
protected:
    Win32FileSystem files;
    Scratch scratch;
    std::string at(const std::string& name) const { return scratch.path() + name; }
};

} // namespace

TEST_F(FileSystemTest, WrittenBytesReadBackExactlyAndReplaceTheOldContent) {
    const std::string bytes("a\0b\r\n\xE9\xFF", 7);
    files.writeFile(at("f.bin"), bytes);
    EXPECT_EQ(files.readFile(at("f.bin")), bytes);
    files.writeFile(at("f.bin"), "short");
    EXPECT_EQ(files.readFile(at("f.bin")), "short");
    EXPECT_EQ(files.list(scratch.path()), std::vector<std::string>{"f.bin"}); // no temporary left
    EXPECT_EQ(files.readFile(at("missing")), std::nullopt);
}

TEST_F(FileSystemTest, NamesAreWindows1252OnDiskAndUtf8InTheProgram) {
    files.writeFile(at("Créer.ini"), "x");
    EXPECT_TRUE(files.fileExists(at("Créer.ini")));
    EXPECT_NE(GetFileAttributesA((scratch.path() + "Cr\xE9"
                                                   "er.ini")
                                     .c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(files.list(scratch.path()), std::vector<std::string>{"Créer.ini"});
}

TEST_F(FileSystemTest, AReadOnlyFileOrAMissingFolderRefusesTheWrite) {
    for (const std::string& path : {at("ro.ini"), at("no such folder\\x.ini")}) {
        if (path == at("ro.ini")) {
            files.writeFile(path, "old");
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        }
        try {
            files.writeFile(path, "new");
            ADD_FAILURE() << path << " was written";
        } catch (const platform::Error& e) {
            EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
        }
    }
    EXPECT_EQ(files.readFile(at("ro.ini")), "old");
    SetFileAttributesA(at("ro.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileSystemTest, RenameRefusesAnExistingTargetAndCopyOverwrites) {
    files.writeFile(at("a"), "A");
    files.writeFile(at("b"), "B");
    EXPECT_FALSE(files.rename(at("a"), at("b")));
    EXPECT_TRUE(files.copy(at("a"), at("b")));
    EXPECT_EQ(files.readFile(at("b")), "A");
    EXPECT_TRUE(files.rename(at("a"), at("c")));
    EXPECT_FALSE(files.fileExists(at("a")));
    EXPECT_TRUE(files.fileExists(at("c")));
    EXPECT_FALSE(files.copy(at("missing"), at("d")));
    EXPECT_TRUE(files.deleteFile(at("c")));
    EXPECT_FALSE(files.deleteFile(at("c")));
}

TEST_F(FileSystemTest, FoldersAreToldApartFromFiles) {
    EXPECT_TRUE(files.createFolder(at("res")));
    EXPECT_FALSE(files.createFolder(at("res")));
    files.writeFile(at("res.cab"), "");
    EXPECT_TRUE(files.folderExists(at("res")));
    EXPECT_FALSE(files.fileExists(at("res")));
    EXPECT_TRUE(files.fileExists(at("res.cab")));
    EXPECT_FALSE(files.folderExists(at("res.cab")));
}

TEST_F(FileSystemTest, DeleteTreeRemovesAFolderWithEverythingInIt) {
    files.createFolder(at("res"));
    files.createFolder(at("res\\sub"));
    files.writeFile(at("res\\SR-ChgLog.LOG"), "log");
    files.writeFile(at("res\\sub\\deep.txt"), "deep");
    files.writeFile(at("kept.txt"), "kept");
    EXPECT_TRUE(files.deleteTree(at("res")));
    EXPECT_FALSE(files.folderExists(at("res")));
    EXPECT_TRUE(files.fileExists(at("kept.txt")));
    EXPECT_FALSE(files.deleteTree(at("res")));      // gone already
    EXPECT_FALSE(files.deleteTree(at("kept.txt"))); // not a folder
    EXPECT_TRUE(files.fileExists(at("kept.txt")));
}

TEST_F(FileSystemTest, ListsEntriesByNameWithoutRegardToCase) {
    for (const char* name : {"b.txt", "A.txt", "c"})
        files.writeFile(at(name), "");
    files.createFolder(at("B2"));
    EXPECT_EQ(files.list(scratch.path()), (std::vector<std::string>{"A.txt", "b.txt", "B2", "c"}));
}

TEST_F(FileSystemTest, FreeSpaceOfTheSystemDriveAndNoneForAnAbsentDrive) {
    const auto free = files.freeBytes("C:\\");
    ASSERT_TRUE(free.has_value());
    EXPECT_GT(*free, 0u);
    EXPECT_EQ(files.freeBytes("Q:\\"), std::nullopt);
}

TEST_F(FileSystemTest, TemporaryAndCurrentFoldersEndWithABackslashAndExist) {
    for (const std::string& folder : {files.tempFolder(), files.currentFolder()}) {
        ASSERT_FALSE(folder.empty());
        EXPECT_EQ(folder.back(), '\\');
        EXPECT_TRUE(files.folderExists(folder)) << folder;
    }
}
