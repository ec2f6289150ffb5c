#pragma once
// Taking one file back from a restore point: saving the copy System Restore kept to a place the
// user names, or putting it back at its original path with the file standing there now kept
// beside it. Every refusal says why; nothing is changed then, and what is written is written whole.
#include "platform/FileSystem.h"
#include "platform/RestoreStore.h"
#include "restore/SavedFiles.h"

#include <string>

namespace restore {

struct Recovery {
    enum class Status { Done, AskOverwrite, Refused } status = Status::Done;
    const char* key = nullptr; // the text of a refusal or of the question; its %1 is `detail`
    std::string detail;
    std::string written; // the file written (or that would be)
    std::string keptAs;  // put back: where the file that stood there is kept
};

// A full path on a drive ("C:\a\b.txt") whose every name Windows stores as spelled: no "." or
// "..", no device name, none of < > : " / | ? * or control characters.
bool isPlainPath(const std::string& path);

// Writes the copy to target, or into it under the original name when target is a folder. An
// existing file is replaced only when overwrite is set; else the answer asks. A dry run checks
// everything and writes nothing.
Recovery saveCopy(platform::FileSystem& files, platform::RestoreStore& store, const FileChange& change,
                  std::string target, bool overwrite, bool dryRun = false);

// Puts the copy back at the change's path. The file standing there is first copied beside it as
// "<name> (<keptWord>)<ext>" ("msvcr71 (avant remise en place).dll", then " 2", " 3"…), then the
// copy replaces it in one step. Refused while the file is in use.
Recovery putBack(platform::FileSystem& files, platform::RestoreStore& store, const FileChange& change,
                 const std::string& keptWord, bool dryRun = false);

} // namespace restore
