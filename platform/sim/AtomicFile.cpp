#include "platform/sim/AtomicFile.h"

#include "platform/Error.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform::sim {

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)) {
    // A hidden name in the same folder: the final rename stays on one file system.
    std::string pattern = (target_.parent_path() / ("." + target_.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        throw Error(target_.string() + ": cannot create a temporary file (" + std::strerror(errno) + ")");
    }
    // mkstemp makes the file private; the finished file gets the usual permissions.
    ::fchmod(fd, 0644);
    ::close(fd);
    temp_ = pattern;
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : target_(std::move(other.target_)), temp_(std::exchange(other.temp_, {})) {}

AtomicFile::~AtomicFile() {
    if (!temp_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temp_, ignored);
    }
}

void AtomicFile::commit() {
    std::error_code error;
    std::filesystem::rename(temp_, target_, error);
    if (error) {
        throw Error(target_.string() + ": cannot write the file (" + error.message() + ")");
    }
    temp_.clear();
}

} // namespace platform::sim
