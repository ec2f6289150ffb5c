#pragma once
// The files the program keeps beside itself for one run: the unpacked change log (the folder res),
// its cabinet res.cab and the point cache KestrafenTemp.ini.
#include "platform/FileSystem.h"

#include <cstdint>
#include <string>

namespace restore {

// Deletes a folder with all its content, silently; false when it did not exist or was not removed.
bool deleteFolder(platform::FileSystem& files, const std::string& path);

// Removes res, res.cab and KestrafenTemp.ini from the program folder; missing files are fine.
void removeTemporaryFiles(platform::FileSystem& files, const std::string& programFolder);

// Free space of a root folder for the caller, in kilobytes; 0 when the query fails.
std::int64_t freeKilobytes(const platform::FileSystem& files, const std::string& root);

// 200 MiB or less is too little for System Restore.
inline constexpr std::int64_t minimumKilobytes = 204800;
inline bool tooLittleSpace(std::int64_t kilobytes) {
    return kilobytes <= minimumKilobytes;
}

// Too little free for the caller on the system drive ("C:"); an unreadable drive counts as none.
bool systemDriveLow(const platform::FileSystem& files, const std::string& systemDrive);

} // namespace restore
