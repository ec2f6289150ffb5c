#pragma once
// Profile (INI) files with the Windows rules: case-insensitive sections and keys, blanks trimmed,
// one pair of quotes removed, an absent key gives the caller's default, an empty value gives the
// empty text, values cut at 2047 characters, sections listed in file order. Text is UTF-8 here
// and Windows-1252 on disk. Every call goes to the file: nothing is kept in memory.
#include <string>
#include <vector>

namespace platform {

class Profile {
public:
    virtual ~Profile() = default;
    virtual std::string readString(const std::string& file, const std::string& section,
                                   const std::string& key, const std::string& defaultValue) = 0;
    // Creates the file, the section and the key as needed and keeps everything else as it was.
    // Throws platform::Error "Unable to write to <full path>" when the file cannot be written.
    virtual void writeString(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& value) = 0;
    virtual std::vector<std::string> sectionNames(const std::string& file) = 0;
};

// One ini file by name, the shape the program holds its three files in.
class IniFile {
public:
    IniFile(Profile& profile, std::string path) : profile_(profile), path_(std::move(path)) {}
    const std::string& fileName() const { return path_; }
    std::string readString(const std::string& section, const std::string& key, const std::string& def) const {
        return profile_.readString(path_, section, key, def);
    }
    void writeString(const std::string& section, const std::string& key, const std::string& value) {
        profile_.writeString(path_, section, key, value);
    }
    // Reads as an integer; a value that does not convert gives the default.
    int readInteger(const std::string& section, const std::string& key, int def) const;
    void writeInteger(const std::string& section, const std::string& key, int value) {
        writeString(section, key, std::to_string(value));
    }
    std::vector<std::string> sections() const { return profile_.sectionNames(path_); }

private:
    Profile& profile_;
    std::string path_;
};

} // namespace platform
