#pragma once
// Profile (INI) files read and written by the program's own reader and writer over a file system,
// so every platform gives the same answers for the same file.
#include "platform/FileSystem.h"
#include "platform/Profile.h"

namespace platform {

class FileProfile : public Profile {
public:
    explicit FileProfile(FileSystem& files) : files_(files) {}
    std::string readString(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
    void writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
    std::vector<std::string> sectionNames(const std::string& file) override;

private:
    FileSystem& files_;
};

} // namespace platform
