#pragma once
// Files in memory by exact Windows path, for code that needs a FileSystem and nothing of the
// machine: the profile rules, the shipped language file, the lookup benchmark.
#include "platform/Error.h"
#include "platform/FileSystem.h"

#include <map>
#include <set>
#include <string>

namespace testing_support {

class MemoryFiles : public platform::FileSystem {
public:
    explicit MemoryFiles(std::string current = "C:\\Program Files\\Kestrafen\\") : current_(std::move(current)) {}

    std::map<std::string, std::string> files;
    // Paths that refuse writes. The error names only the file, so callers that must report the
    // full path are seen to add it themselves.
    std::set<std::string> readOnly;
    // When set, stamp() answers from a count of the writes to each file, so a profile may keep
    // its parsed copy; edits of `files` behind its back must then go through edit().
    bool stamps = false;
    mutable int reads = 0;
    int writes = 0;

    void edit(const std::string& path, const std::string& bytes) {
        files[path] = bytes;
        ++versions_[path];
    }

    bool fileExists(const std::string& path) const override { return files.count(path) > 0; }
    bool folderExists(const std::string&) const override { return true; }
    bool rename(const std::string&, const std::string&) override { return false; }
    bool copy(const std::string&, const std::string&) override { return false; }
    bool deleteFile(const std::string& path) override {
        ++versions_[path];
        return files.erase(path) > 0;
    }
    bool createFolder(const std::string&) override { return false; }
    bool deleteTree(const std::string&) override { return false; }
    std::optional<std::uint64_t> freeBytes(const std::string&) const override { return std::nullopt; }
    std::string tempFolder() const override { return "C:\\TEMP\\"; }
    std::string currentFolder() const override { return current_; }
    std::optional<std::string> readFile(const std::string& path) const override {
        ++reads;
        const auto it = files.find(path);
        return it == files.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    void writeFile(const std::string& path, const std::string& bytes) override {
        if (readOnly.count(path))
            throw platform::Error("Unable to write to " + path.substr(path.rfind('\\') + 1));
        files[path] = bytes;
        ++versions_[path];
        ++writes;
    }
    std::optional<platform::FileStamp> stamp(const std::string& path) const override {
        const auto it = files.find(path);
        if (!stamps || it == files.end())
            return std::nullopt;
        const auto version = versions_.find(path);
        return platform::FileStamp{it->second.size(), version == versions_.end() ? 0 : version->second, 0};
    }
    std::vector<std::string> list(const std::string&) const override { return {}; }

private:
    std::string current_;
    std::map<std::string, std::int64_t> versions_;
};

} // namespace testing_support
