#pragma once
// A file written under a temporary name beside its target and renamed over it only once complete,
// so a reader or a crash sees the old content or the new one, never a torn file.
#include <filesystem>

namespace platform::sim {

class AtomicFile {
public:
    // Creates an empty temporary file in the target's folder. Throws platform::Error when the
    // folder cannot hold it.
    explicit AtomicFile(std::filesystem::path target);
    // Removes the temporary file unless it was committed.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    AtomicFile(AtomicFile&& other) noexcept;
    AtomicFile& operator=(AtomicFile&&) = delete;

    // Where the writer puts the new content; the writer opens and closes it itself.
    const std::filesystem::path& tempPath() const { return temp_; }
    const std::filesystem::path& target() const { return target_; }
    // Renames the temporary file over the target. Throws platform::Error on failure.
    void commit();

private:
    std::filesystem::path target_;
    std::filesystem::path temp_;
};

} // namespace platform::sim
