#pragma once
// The file changes of one restore point as System Restore logged them in the point's folder, with
// the copies it kept of the files as they were before.
#include "platform/RestoreStore.h"
#include "restore/BinaryChangeLog.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace restore {

struct FileChange {
    std::int64_t sequence = 0;
    std::uint32_t type = 0;
    std::string path;                      // as the user knows it: "C:\WINDOWS\system32\msvcr71.dll"
    std::string secondPath;                // a rename's new name
    std::string copyName;                  // "A0003104.dll"; empty when the change kept no copy
    std::string copyPath;                  // the copy inside the store
    std::optional<std::uint64_t> copySize; // nothing when the copy is gone
    std::string process;
};

// The language key naming the operation ("OpModification"…) and its name in the JSON output.
const char* operationKey(std::uint32_t type);
const char* operationName(std::uint32_t type);

// A log that could not be read to its end: the language key and the file with the byte offset.
struct LogProblem {
    const char* key;
    std::string file;
    std::size_t offset = 0;
};

struct PointFiles {
    std::vector<FileChange> changes; // in sequence order
    std::vector<LogProblem> problems;
};

// Reads every change.log* of the point folder ("RP39") on each drive root given. Paths under a
// drive's volume device are given with its letter; others stay as logged.
PointFiles readPointFiles(platform::RestoreStore& store, const std::vector<std::string>& roots,
                          const std::string& pointFolder);

// The changes sorted by path without regard to case, then by sequence number.
std::vector<FileChange> sortedByPath(std::vector<FileChange> changes);
// Whether the path contains the typed text, without regard to case; an empty text matches all.
bool matchesFilter(const FileChange& change, const std::string& typed);

} // namespace restore
