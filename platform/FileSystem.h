#pragma once
// Files and folders, addressed by Windows paths ("C:\Program Files\Kestrafen\res.cab").
// Relative paths are relative to the current directory. Expected conditions (a missing file,
// a refused rename) are return values; only broken state of the platform throws.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// One version of a file: a copy of its content read under the same stamp is still current.
// The file number tells an atomic replacement made within one tick of the file system's clock.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t modified = 0; // last write time, in the file system's own units
    std::uint64_t fileId = 0;
    // Changed within the last tick of the file system's clock: a further change in place, to the
    // same size, could keep this stamp, so a copy read now must not be trusted later.
    bool recent = false;
    friend bool operator==(const FileStamp& a, const FileStamp& b) {
        return a.size == b.size && a.modified == b.modified && a.fileId == b.fileId;
    }
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual bool fileExists(const std::string& path) const = 0;
    virtual bool folderExists(const std::string& path) const = 0;
    // Fails when the target already exists (MoveFile).
    virtual bool rename(const std::string& from, const std::string& to) = 0;
    // Overwrites an existing target (CopyFile with failIfExists false).
    virtual bool copy(const std::string& from, const std::string& to) = 0;
    virtual bool deleteFile(const std::string& path) = 0;
    virtual bool createFolder(const std::string& path) = 0;
    // Deletes a folder with its whole content without asking and without following links out of
    // it; true exactly when the folder existed and is gone.
    virtual bool deleteTree(const std::string& path) = 0;
    // Bytes available to the caller on a root path such as "C:\"; nothing when the query fails.
    virtual std::optional<std::uint64_t> freeBytes(const std::string& root) const = 0;
    // The temporary folder, with a trailing backslash.
    virtual std::string tempFolder() const = 0;
    // The current directory, with a trailing backslash.
    virtual std::string currentFolder() const = 0;

    // Whole-file access in raw bytes; writing replaces the file atomically (old or new content,
    // never a torn mix) and throws platform::Error "Unable to write to <path>" on failure.
    virtual std::optional<std::string> readFile(const std::string& path) const = 0;
    virtual void writeFile(const std::string& path, const std::string& bytes) = 0;
    // The stamp of a file; nothing when it is missing or when this file system cannot tell, in
    // which case callers read the file anew each time.
    virtual std::optional<FileStamp> stamp(const std::string& path) const {
        (void)path;
        return std::nullopt;
    }
    // Names (not paths) of the entries of a folder, files and folders alike.
    virtual std::vector<std::string> list(const std::string& folder) const = 0;
    // A program holds the file open so that it cannot be replaced now.
    virtual bool inUse(const std::string& path) const {
        (void)path;
        return false;
    }
};

} // namespace platform
