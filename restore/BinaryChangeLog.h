#pragma once
// System Restore's own change log, kept in each point's folder as change.log, change.log.1, …:
// little-endian records, each a header (size, type) then its data. The log starts with a log
// header (magic, version 2, the volume path) and goes on with one entry per change, each entry
// holding further records (paths, the saved copy's name, ACL, debug info) and closing with a
// DWORD equal to its own size.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace restore {

inline constexpr std::uint32_t changeLogMagic = 0xabcdef12;
inline constexpr std::uint32_t changeLogVersion = 2;

// Record types.
enum : std::uint32_t {
    RecordLogHeader = 0,
    RecordLogEntry = 1,
    RecordVolumePath = 2,
    RecordFirstPath = 3,
    RecordSecondPath = 4,
    RecordTempPath = 5,
    RecordAclInline = 6,
    RecordAclFile = 7,
    RecordDebugInfo = 8,
    RecordShortName = 9,
};

// Entry types (the low bits; directory and stream variants share the operation).
enum : std::uint32_t {
    EntryStreamChange = 0x1,
    EntryAclChange = 0x2,
    EntryAttrChange = 0x4,
    EntryStreamOverwrite = 0x8,
    EntryFileDelete = 0x10,
    EntryFileCreate = 0x20,
    EntryFileRename = 0x40,
    EntryDirCreate = 0x80,
    EntryDirRename = 0x100,
    EntryDirDelete = 0x200,
    EntryStreamCreate = 0x2000,
};

// Size of an entry's fixed part: record header, magic, type, flags, attributes, sequence number
// and a process name of 16 UTF-16 characters.
inline constexpr std::size_t entryFixedSize = 64;

// Why a log could not be read to its end; each has its text in the user's language.
enum class LogFault { Truncated, RecordSize, Closing, Magic, Unterminated, CopyName };
// The language key that words the fault; its %1 is the file and the byte offset.
const char* faultKey(LogFault fault);

// One entry as the log holds it: paths as written (under the volume path), the saved copy's
// name alone (empty when the change kept no copy).
struct LogEntry {
    std::uint32_t type = 0;
    std::uint32_t flags = 0;
    std::uint32_t attributes = 0;
    std::int64_t sequence = 0;
    std::string process;
    std::string firstPath;
    std::string secondPath;
    std::string copyName;
};

struct ParsedLog {
    std::string volume; // "\Device\HarddiskVolume1"
    std::vector<LogEntry> entries;
    std::optional<LogFault> fault; // the entries before it are kept
    std::size_t faultOffset = 0;
};

// Reads a whole log of the point folder pointFolder ("RP39"). A saved copy's name must be "A",
// seven digits and the original extension, given alone or under that point's folder.
ParsedLog parseChangeLog(std::string_view bytes, std::string_view pointFolder);

// "A" + seven digits + an optional extension of letters, digits, "_", "-", "~" or "$".
bool isCopyName(std::string_view name);

} // namespace restore
