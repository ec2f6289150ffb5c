// The profile rules over the real file functions: the same cases as on Linux, same answers.
#include "Scratch.h"
#include "support/ProfileCases.h"

#include <windows.h>

namespace {

class Win32Store {
public:
    Win32Store() {
        char current[MAX_PATH + 1];
        GetCurrentDirectoryA(sizeof current, current);
        previous_ = current;
        SetCurrentDirectoryA(scratch_.path().c_str()); // relative names resolve here
    }
    ~Win32Store() {
        SetCurrentDirectoryA(previous_.c_str());
        SetFileAttributesA((scratch_.path() + "Kestrafen.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
        files_.deleteFile(windowsFolder() + "Kestrafen.ini");
    }
    platform::FileSystem& files() { return files_; }
    std::string folder() const { return scratch_.path(); }
    std::string windowsFolder() const { return platform::win32::windowsFolder(); }
    void put(const std::string& path, const std::string& bytes) { files_.writeFile(path, bytes); }
    std::string content(const std::string& path) const { return files_.readFile(path).value_or(""); }
    void makeReadOnly(const std::string& path) { SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY); }

private:
    platform::win32::Win32FileSystem files_;
    testing_support::Scratch scratch_;
    std::string previous_;
};

} // namespace

namespace testing_support {
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, ProfileCases, Win32Store);
} // namespace testing_support
