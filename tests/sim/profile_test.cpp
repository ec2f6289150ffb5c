// The profile rules over the in-memory file system (the shared cases also run on Windows).
#include "support/MemoryFiles.h"
#include "support/ProfileCases.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class MemoryStore {
public:
    platform::FileSystem& files() { return files_; }
    std::string folder() const { return files_.currentFolder(); }
    std::string windowsFolder() const { return "C:\\WINDOWS\\"; }
    void put(const std::string& path, const std::string& bytes) { files_.files[path] = bytes; }
    std::string content(const std::string& path) const { return files_.readFile(path).value_or(""); }
    void makeReadOnly(const std::string& path) { files_.readOnly.insert(path); }

private:
    testing_support::MemoryFiles files_;
};

} // namespace

namespace testing_support {
INSTANTIATE_TYPED_TEST_SUITE_P(Memory, ProfileCases, MemoryStore);
} // namespace testing_support

namespace {

using platform::FileProfile;
using testing_support::MemoryFiles;

const std::string kFolder = "C:\\Program Files\\Kestrafen\\";
const std::string kLangues = kFolder + "langues.ini";

} // namespace

TEST(ProfileCopy, AChangeIsOneWriteAndNoChangeNone) {
    MemoryFiles files;
    FileProfile profile(files);
    files.files[kLangues] = "[a]\r\nx=1\r\n";
    profile.deleteKey(kLangues, "a", "missing");
    profile.deleteSection(kLangues, "missing");
    EXPECT_EQ(files.writes, 0);
    profile.deleteKey(kLangues, "a", "x");
    EXPECT_EQ(files.writes, 1);
}

// The parsed copy of a file is used while the file's stamp stays the same.
TEST(ProfileCopy, AFileIsReadAgainOnlyWhenItChanged) {
    MemoryFiles files;
    files.stamps = true;
    FileProfile profile(files);
    files.edit(kLangues, "[English]\r\nOui=Yes\r\nNon=No\r\n");
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(profile.readString(kLangues, "English", i % 2 ? "Oui" : "Non", ""), i % 2 ? "Yes" : "No");
    EXPECT_EQ(files.reads, 1);

    files.edit(kLangues, "[English]\r\nOui=Yes!\r\n");
    EXPECT_EQ(profile.readString(kLangues, "English", "Oui", ""), "Yes!");
    profile.writeString(kLangues, "English", "Non", "No");
    EXPECT_EQ(profile.readString(kLangues, "English", "Non", ""), "No");
    EXPECT_EQ(files.reads, 2) << "its own write leaves the copy current";

    files.deleteFile(kLangues);
    EXPECT_EQ(profile.readString(kLangues, "English", "Oui", "<default>"), "<default>");
    EXPECT_TRUE(profile.sectionNames(kLangues).empty());
}

TEST(ProfileCopy, HeldWritesReachTheFileInOneWrite) {
    MemoryFiles files;
    files.stamps = true;
    FileProfile profile(files);
    platform::IniFile cache(profile, kFolder + "KestrafenTemp.ini");
    {
        platform::HeldWrites held(cache);
        for (int i = 0; i < 100; ++i)
            cache.writeString("(point " + std::to_string(i) + ")", "Number", std::to_string(i));
        EXPECT_EQ(files.writes, 1) << "the first write goes to disk, the rest wait";
        EXPECT_EQ(cache.readString("(point 99)", "Number", ""), "99");
        EXPECT_EQ(cache.sections().size(), 100u);
        held.commit();
    }
    EXPECT_EQ(files.writes, 2);
    FileProfile other(files);
    EXPECT_EQ(other.readString(cache.fileName(), "(point 99)", "Number", ""), "99");
    cache.writeString("(point 0)", "Number", "x");
    EXPECT_EQ(files.writes, 3) << "after the scope, every write goes to disk again";
}

TEST(ProfileCopy, HeldWritesToAnUnwritableFileFailAtTheFirstWrite) {
    MemoryFiles files;
    files.stamps = true;
    FileProfile profile(files);
    platform::IniFile cache(profile, kFolder + "KestrafenTemp.ini");
    files.readOnly.insert(kFolder + "KestrafenTemp.ini");
    platform::HeldWrites held(cache);
    EXPECT_THROW(cache.writeString("(a)", "Number", "1"), platform::Error);
    EXPECT_EQ(cache.readString("(a)", "Number", "<default>"), "<default>") << "what failed is not seen";
}
