#pragma once
// Profile (INI) files with the Windows rules: case-insensitive sections and keys, blanks trimmed
// (section and key arguments included), one pair of quotes removed, an absent key gives the
// caller's default without its trailing blanks, an empty value gives the empty text, values cut at
// 2047 characters, sections listed in file order. Text is UTF-8 here and Windows-1252 on disk, or
// UTF-16LE for a file that starts with the FF FE mark. Every call sees the file as it is on disk,
// except for the writes a caller holds back on purpose (holdWrites).
#include <string>
#include <utility>
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
    // The key, or the section with all its keys, leaves the file; nothing happens when it is absent.
    virtual void deleteKey(const std::string& file, const std::string& section, const std::string& key) = 0;
    virtual void deleteSection(const std::string& file, const std::string& section) = 0;

    // From holdWrites on, writes to the file may stay in memory until flush, which replaces the
    // file once with all of them; reads through this object see them at once. The first write
    // still goes to disk, so a file that cannot be written fails where it would have without.
    // A profile that writes every change at once needs neither.
    virtual void holdWrites(const std::string& file) { (void)file; }
    // Writes what is held back and ends holding. Throws as writeString does.
    virtual void flush(const std::string& file) { (void)file; }
};

// One ini file by name, the shape the program holds its three files in.
class IniFile {
public:
    IniFile(Profile& profile, std::string path) : profile_(profile), path_(std::move(path)) {}
    const std::string& fileName() const { return path_; }
    Profile& profile() const { return profile_; }
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
    void deleteKey(const std::string& section, const std::string& key) { profile_.deleteKey(path_, section, key); }
    void deleteSection(const std::string& section) { profile_.deleteSection(path_, section); }

private:
    Profile& profile_;
    std::string path_;
};

// Holds the writes to one ini file for a scope: commit() writes them in one replacement of the
// file and reports a failure; a scope left by an error writes them without reporting, so the
// file holds what was written up to the error, as it would have without holding.
class HeldWrites {
public:
    explicit HeldWrites(IniFile& file) : file_(file) { file_.profile().holdWrites(file_.fileName()); }
    ~HeldWrites();
    HeldWrites(const HeldWrites&) = delete;
    HeldWrites& operator=(const HeldWrites&) = delete;
    void commit();

private:
    IniFile& file_;
    bool done_ = false;
};

} // namespace platform
