#pragma once
// The registry of the simulated machine, kept in registry.reg (REGEDIT4 text, Windows-1252).
// Keys and value names are case-insensitive as on Windows and keep the spelling they were
// created with; keys and values keep their file order.
#include "platform/Registry.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace platform::sim {

struct RegKeyData {
    std::string path; // full path with root, "HKEY_LOCAL_MACHINE\SYSTEM\..."
    std::vector<std::pair<std::string, RegValue>> values; // name "" is the default value "@"
};

class RegFile {
public:
    // Parses REGEDIT4 text (bytes in Windows-1252). Throws platform::Error naming the file and
    // line for a malformed line.
    static RegFile parse(const std::string& bytes, const std::string& fileNameForErrors);
    std::string serialize() const;

    // nullptr when absent. Paths are compared without regard to case.
    RegKeyData* find(const std::string& fullPath);
    const RegKeyData* find(const std::string& fullPath) const;
    // Creates the key and every missing parent.
    RegKeyData& create(const std::string& fullPath);
    const std::vector<RegKeyData>& keys() const { return keys_; }

private:
    std::vector<RegKeyData> keys_;
};

// Sets a value of a key; a value of the same name (in any case) is replaced in its place.
void setValue(RegKeyData& key, const std::string& name, RegValue value);

// Full path with root of a key: "HKEY_LOCAL_MACHINE\" + path.
std::string rootName(RegRoot root);

} // namespace platform::sim
