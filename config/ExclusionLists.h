#pragma once
// The two lists System Restore reads: files and folders it does not save, registry keys it does
// not restore. Each entry is a multi-string value of its key under HKEY_LOCAL_MACHINE; every
// operation opens the key, works and closes it again. Keys are opened with full access, so a user
// who may not change them gets no list rather than one he cannot edit.
#include "platform/Registry.h"

#include <optional>
#include <string>
#include <vector>

namespace config {

inline constexpr const char* filesNotToBackupKey =
    "SYSTEM\\ControlSet001\\Control\\BackupRestore\\FilesNotToBackup";
inline constexpr const char* keysNotToRestoreKey =
    "SYSTEM\\ControlSet001\\Control\\BackupRestore\\KeysNotToRestore";

// The entry names of a list, or nothing when its key cannot be opened.
std::optional<std::vector<std::string>> entryNames(platform::Registry& registry, const std::string& keyPath);

// The lines of an entry. The key is created when missing (a list key that cannot be created
// gives no lines). Throws the invalid-type error for a text or number value.
std::vector<std::string> entryLines(platform::Registry& registry, const std::string& keyPath,
                                    const std::string& name);

// Writes (or replaces) an entry as a multi-string; false when the key cannot be opened or the
// registry refuses the write. The key is not created.
bool writeEntry(platform::Registry& registry, const std::string& keyPath, const std::string& name,
                const std::vector<std::string>& lines);

// False when the key cannot be opened or holds no such entry, or the registry refuses.
bool deleteEntry(platform::Registry& registry, const std::string& keyPath, const std::string& name);

} // namespace config
