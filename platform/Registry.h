#pragma once
// The registry: HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT. Keys are opened, used and closed within
// one operation. Values keep their Windows type and raw bytes; the typed helpers convert text
// between UTF-8 and the key's code page (the system's ANSI one) at this edge.
#include "platform/Text.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class RegRoot { LocalMachine, ClassesRoot };

// Windows value types (REG_*), with their Windows numbers.
enum class RegType : std::uint32_t { None = 0, Sz = 1, ExpandSz = 2, Binary = 3, Dword = 4, MultiSz = 7 };

struct RegValue {
    RegType type = RegType::None;
    std::string data; // raw bytes as stored (REG_SZ with its terminating zero, REG_DWORD 4 bytes LE)
};

class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    virtual bool valueExists(const std::string& name) const = 0;
    virtual std::optional<RegValue> read(const std::string& name) const = 0;
    // Throws platform::Error naming the value when the write is refused.
    virtual void write(const std::string& name, const RegValue& value) = 0;
    virtual std::vector<std::string> valueNames() const = 0;
    virtual bool deleteValue(const std::string& name) = 0;
    // The code page its string values are written in.
    virtual const text::AnsiCodePage& codePage() const { return text::windows1252(); }
};

class Registry {
public:
    virtual ~Registry() = default;
    // Opens a key (path without the root, "SOFTWARE\Microsoft\..."), creating it and its parents
    // when asked; nullptr when it cannot be opened.
    virtual std::unique_ptr<RegistryKey> open(RegRoot root, const std::string& path, bool create) = 0;
    // Opens an existing key with full access rights (read and write), never creating it; nullptr
    // when it is missing or the caller may not write there (a user without administrator rights).
    virtual std::unique_ptr<RegistryKey> openFullAccess(RegRoot root, const std::string& path) = 0;
};

// Typed access to one key, as the program uses it. Reading a value of another type throws
// platform::Error "Invalid data type for '<name>'"; a missing value throws for integers and
// gives the empty text for strings.
namespace reg {
std::string readString(const RegistryKey& key, const std::string& name);
std::uint32_t readInteger(const RegistryKey& key, const std::string& name);
std::vector<std::string> readMultiString(const RegistryKey& key, const std::string& name);
void writeString(RegistryKey& key, const std::string& name, const std::string& value);
void writeInteger(RegistryKey& key, const std::string& name, std::uint32_t value);
void writeMultiString(RegistryKey& key, const std::string& name, const std::vector<std::string>& values);
RegValue dword(std::uint32_t value);
RegValue sz(const std::string& utf8, const text::AnsiCodePage& codePage = text::windows1252());
RegValue multiSz(const std::vector<std::string>& utf8,
                 const text::AnsiCodePage& codePage = text::windows1252());
} // namespace reg

} // namespace platform
