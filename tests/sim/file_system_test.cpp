// Files and folders of the machine: links never followed out, free space, read-only folders and
// the Windows rules of rename, copy and folder creation.
#include "platform/Error.h"
#include "support/TestMachine.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using testing_support::TestMachine;

namespace {

class FileSystemTest : public ::testing::Test {
protected:
    TestMachine tm;
    platform::FileSystem& files = tm.machine->platform().files;
    const std::string program = "C:\\Program Files\\Kestrafen\\";

    std::string writeError(const std::string& path) {
        try {
            files.writeFile(path, "[Kestrafen]\r\n");
        } catch (const platform::Error& e) {
            return e.what();
        }
        return "no error";
    }
};

TEST_F(FileSystemTest, DeleteTreeRemovesLinksButNotWhatTheyPointTo) {
    const fs::path outside = tm.folder.parent_path() / "outside";
    fs::create_directories(outside / "keep");
    std::ofstream(outside / "keep" / "precious.txt") << "x";
    tm.write(program + "res\\sub\\SR-ChgLog.LOG", "log");
    fs::create_directory_symlink(outside, tm.host(program + "res\\sub\\link"));
    fs::create_directory_symlink(outside, tm.host(program + "res-link"));

    EXPECT_TRUE(files.deleteTree(program + "RES"));
    EXPECT_FALSE(fs::exists(tm.host(program + "res")));
    EXPECT_TRUE(files.deleteTree(program + "res-link"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(tm.host(program + "res-link"))));

    EXPECT_TRUE(fs::exists(outside / "keep" / "precious.txt"));
}

TEST_F(FileSystemTest, DeleteTreeOnlyTakesAnExistingFolderThatIsNotADrive) {
    tm.write(program + "res.cab", "cab");
    EXPECT_FALSE(files.deleteTree(program + "res"));
    EXPECT_FALSE(files.deleteTree(program + "res.cab"));
    EXPECT_FALSE(files.deleteTree("C:\\"));
    EXPECT_FALSE(files.deleteTree("D:\\..\\.."));
    EXPECT_TRUE(files.fileExists(program + "res.cab"));
    EXPECT_TRUE(files.folderExists("C:\\WINDOWS"));
}

TEST_F(FileSystemTest, FreeBytesComeFromTheMachineOrTheRealDisk) {
    EXPECT_EQ(files.freeBytes("C:\\"), 8589934592u);
    EXPECT_EQ(files.freeBytes("c:\\"), 8589934592u);
    EXPECT_EQ(files.freeBytes("D:\\"), 1073741824u);
    EXPECT_EQ(files.freeBytes("E:\\"), std::nullopt);

    tm.json()["drives"]["D"].erase("free_bytes");
    tm.save();
    const auto reported = tm.machine->platform().files.freeBytes("D:\\");
    const auto real = fs::space(tm.folder / "drives" / "D").available;
    ASSERT_TRUE(reported.has_value());
    const std::uint64_t slack = 64u << 20; // other programs write meanwhile
    EXPECT_LT(*reported > real ? *reported - real : real - *reported, slack);

    tm.json().erase("drives");
    tm.save();
    EXPECT_EQ(tm.machine->platform().files.freeBytes("C:\\"), std::nullopt);
}

TEST_F(FileSystemTest, AReadOnlyFolderRefusesEveryChange) {
    tm.write(program + "langues.ini", "[Français]\r\n");
    fs::permissions(tm.host(program),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);

    EXPECT_EQ(writeError(program + "Kestrafen.ini"),
              "Unable to write to C:\\Program Files\\Kestrafen\\Kestrafen.ini");
    EXPECT_EQ(writeError("kestrafen.ini"), "Unable to write to C:\\Program Files\\Kestrafen\\kestrafen.ini");
    EXPECT_FALSE(files.fileExists(program + "Kestrafen.ini"));
    EXPECT_FALSE(files.createFolder(program + "res"));
    EXPECT_FALSE(files.deleteFile(program + "langues.ini"));
    EXPECT_FALSE(files.rename(program + "langues.ini", program + "langues.old"));
    EXPECT_FALSE(files.copy("C:\\WINDOWS\\system32\\Restore\\srdiag.exe", program + "srdiag.exe"));
    EXPECT_EQ(files.readFile(program + "langues.ini"), "[Français]\r\n");
}

TEST_F(FileSystemTest, AReadOnlyFileIsNeitherReplacedNorDeleted) {
    tm.write(program + "Kestrafen.ini", "[Kestrafen]\r\nLangue=Français\r\n");
    fs::permissions(tm.host(program + "Kestrafen.ini"), fs::perms::owner_read | fs::perms::group_read);

    EXPECT_EQ(writeError(program + "Kestrafen.ini"),
              "Unable to write to C:\\Program Files\\Kestrafen\\Kestrafen.ini");
    EXPECT_FALSE(files.deleteFile(program + "Kestrafen.ini"));
    EXPECT_EQ(tm.read(program + "Kestrafen.ini"), "[Kestrafen]\r\nLangue=Français\r\n");
}

TEST_F(FileSystemTest, WritingReplacesTheWholeFileAndNeedsItsFolder) {
    files.writeFile(program + "KestrafenTemp.ini", "old content, longer than the new one");
    files.writeFile(program + "kestrafentemp.INI", "new");
    EXPECT_EQ(tm.read(program + "KestrafenTemp.ini"), "new");
    EXPECT_EQ(writeError(program + "absent\\x.ini"),
              "Unable to write to C:\\Program Files\\Kestrafen\\absent\\x.ini");
    EXPECT_EQ(writeError("C:\\..\\..\\x.ini"), "Unable to write to C:\\x.ini");

    const auto names = files.list(program); // no temporary file left beside it
    EXPECT_EQ(std::count(names.begin(), names.end(), "KestrafenTemp.ini"), 1);
    for (const auto& name : names)
        EXPECT_EQ(name.find("tmp"), std::string::npos) << name;
}

TEST_F(FileSystemTest, RenameCopyAndCreateFollowTheWindowsRules) {
    tm.write(program + "configuration2.ini", "[old]\r\n");
    tm.write(program + "Kestrafen.ini", "[new]\r\n");

    EXPECT_FALSE(files.rename(program + "configuration2.ini", program + "KESTRAFEN.INI")); // target exists
    EXPECT_FALSE(files.rename(program + "absent.ini", program + "other.ini"));
    EXPECT_TRUE(files.rename(program + "configuration2.ini", program + "ancien.ini"));
    EXPECT_EQ(tm.read(program + "ancien.ini"), "[old]\r\n");

    EXPECT_TRUE(files.copy(program + "ancien.ini", program + "Kestrafen.ini")); // overwrites
    EXPECT_EQ(tm.read(program + "Kestrafen.ini"), "[old]\r\n");
    EXPECT_FALSE(files.copy(program + "absent.ini", program + "x.ini"));

    EXPECT_FALSE(files.createFolder(program + "a\\b")); // the parent must exist
    EXPECT_TRUE(files.createFolder(program + "a"));
    EXPECT_FALSE(files.createFolder(program + "A"));
    EXPECT_TRUE(files.folderExists(program + "A"));
    EXPECT_FALSE(files.fileExists(program + "a"));
    EXPECT_FALSE(files.deleteFile(program + "a"));
    EXPECT_TRUE(files.deleteFile(program + "ancien.ini"));
    EXPECT_FALSE(files.deleteFile(program + "ancien.ini"));
}

TEST_F(FileSystemTest, ListingIsByNameWithoutRegardToCase) {
    tm.write("C:\\Liste\\b.ini", "");
    tm.write("C:\\Liste\\A.ini", "");
    tm.write("C:\\Liste\\c.INI", "");
    files.createFolder("C:\\Liste\\res");
    EXPECT_EQ(files.list("c:\\liste\\"), (std::vector<std::string>{"A.ini", "b.ini", "c.INI", "res"}));
    EXPECT_TRUE(files.list("C:\\absent").empty());
}

TEST_F(FileSystemTest, TempFolderIsInTheWindowsFolderAndExists) {
    EXPECT_EQ(files.tempFolder(), "C:\\WINDOWS\\Temp\\");
    EXPECT_TRUE(files.folderExists("C:\\WINDOWS\\Temp"));
}

} // namespace

// The profile keeps a parsed copy of each file while the file's stamp stays the same.
TEST_F(FileSystemTest, TheProfileSeesEditsAndDeletionsMadeBehindItsBack) {
    platform::Profile& profile = tm.machine->platform().profile;
    const std::string file = program + "Kestrafen.ini";
    const auto langue = [&] { return profile.readString(file, "Kestrafen", "Langue", "<none>"); };

    tm.write(file, "[Kestrafen]\r\nLangue=English\r\n");
    const auto written = fs::last_write_time(tm.host(file));
    EXPECT_EQ(langue(), "English");
    tm.write(file, "[Kestrafen]\r\nLangue=Deutsch\r\n"); // in place, same size...
    fs::last_write_time(tm.host(file), written);             // ...within the same tick of the clock
    EXPECT_EQ(langue(), "Deutsch");

    const auto age = [&](std::chrono::minutes minutes) {
        fs::last_write_time(tm.host(file), fs::file_time_type::clock::now() - minutes);
    };
    age(std::chrono::minutes(60));
    EXPECT_EQ(langue(), "Deutsch");
    tm.write(file, "[Kestrafen]\r\nLangue=Italian\r\n");
    age(std::chrono::minutes(30));
    EXPECT_EQ(langue(), "Italian");

    profile.writeString(file, "Kestrafen", "Langue", "Français");
    EXPECT_TRUE(files.deleteFile(file));
    EXPECT_EQ(langue(), "<none>");
}
