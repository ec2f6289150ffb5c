// The profile rules over the in-memory file system (the shared cases also run on Windows).
#include "support/MemoryFiles.h"
#include "support/ProfileCases.h"

namespace {

class MemoryStore {
public:
    platform::FileSystem& files() { return files_; }
    std::string folder() const { return files_.currentFolder(); }
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
