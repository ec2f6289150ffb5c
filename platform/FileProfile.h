#pragma once
// Profile (INI) files read and written by the program's own reader and writer over a file system,
// so every platform gives the same answers for the same file.
#include "platform/FileSystem.h"
#include "platform/IniText.h"
#include "platform/Profile.h"

#include <optional>
#include <string>
#include <unordered_map>

namespace platform {

class FileProfile : public Profile {
public:
    // A bare file name is looked up in the Windows folder (with its trailing backslash).
    explicit FileProfile(FileSystem& files, std::string windowsFolder = "C:\\WINDOWS\\")
        : files_(files), windowsFolder_(std::move(windowsFolder)) {}
    // Writes what is still held back; a failure then goes unreported.
    ~FileProfile() override;
    FileProfile(const FileProfile&) = delete;
    FileProfile& operator=(const FileProfile&) = delete;

    std::string readString(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
    void writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
    std::vector<std::string> sectionNames(const std::string& file) override;
    void deleteKey(const std::string& file, const std::string& section, const std::string& key) override;
    void deleteSection(const std::string& file, const std::string& section) override;
    void holdWrites(const std::string& file) override;
    void flush(const std::string& file) override;

private:
    // The parsed copy of one file, and the stamp of the version it was read from.
    struct Copy {
        std::string fullName;
        ini::Document document;
        std::optional<FileStamp> stamp; // nothing: read the file again before using the copy
        bool exists = false;
        bool unicode = false; // UTF-16LE with its mark
        std::string oddByte;  // a UTF-16LE file's last byte that makes no unit, kept as it is
        bool holding = false;
        bool written = false; // a write has gone to disk since holding began
        bool pending = false; // changes not yet on disk
    };

    // The copy of the file as it is now, read again when the file changed or went.
    Copy& current(const std::string& file);
    // After an edit of the copy: to disk now, or later when holding.
    void changed(Copy& copy);
    void save(Copy& copy);

    // A deletion from a file that is not there still leaves the file, empty.
    void deleted(Copy& copy, bool removed);

    FileSystem& files_;
    std::string windowsFolder_;
    std::unordered_map<std::string, Copy> copies_; // by upper-cased full path
};

} // namespace platform
