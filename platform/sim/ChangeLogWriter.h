#pragma once
// Writes System Restore's binary change logs and point folders for simulated machines: the sample
// machine's points, and machines with thousands of changes for tests and benchmarks.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace platform::sim {

struct LoggedChange {
    std::uint32_t type = 0;
    std::int64_t sequence = 0;
    std::string process;    // at most 15 characters are kept
    std::string firstPath;  // under the volume: "\Device\HarddiskVolume1\WINDOWS\win.ini"
    std::string secondPath; // a rename's new name
    std::string copyPath;   // the temp path record, as written
    std::uint32_t attributes = 0x20;
    bool withAclAndDebug = false; // an inline ACL and a debug-info record as well
};

// One record: header (size, type) and data.
std::string changeLogRecord(std::uint32_t type, const std::string& data);
// A UTF-8 text as the log stores it: UTF-16LE with its terminating zero.
std::string changeLogText(const std::string& utf8);
std::string changeLogHeader(const std::string& volume);
std::string changeLogEntry(const LoggedChange& change);
// A whole log: the header, then the entries.
std::string changeLogBytes(const std::string& volume, const std::vector<LoggedChange>& changes);

// "<drive folder>/System Volume Information/_restore{GUID}/RPn", created as needed.
std::filesystem::path pointFolder(const std::filesystem::path& driveFolder, const std::string& guid,
                                  const std::string& point);

} // namespace platform::sim

namespace platform::sim {

// The copy's believable content for a saved file of that name: a small program image for
// executables and libraries, a few lines of text for the rest.
std::string savedCopyContent(const std::string& originalName);

// Writes the store folders of the points that the text change log (sr-chglog.log, 8-bit text)
// lists, on each drive under drivesFolder: per point and drive a change.log of its file changes
// and the copies it names. Registry records have no place there. Returns the points written.
std::vector<std::string> writePointsFromTextLog(const std::string& textLog,
                                                const std::filesystem::path& drivesFolder,
                                                const std::string& guid,
                                                const std::function<std::string(char drive)>& volumeOf);

// A point folder with `count` file changes on drive C, a third of them with a copy, spread over
// logs of at most 5,000 entries (change.log, change.log.1, …), for tests and benchmarks.
void writeLargePoint(const std::filesystem::path& driveFolder, const std::string& guid,
                     const std::string& volume, const std::string& point, int count);

} // namespace platform::sim
