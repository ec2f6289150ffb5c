#include "restore/TemporaryFiles.h"

namespace restore {

bool deleteFolder(platform::FileSystem& files, const std::string& path) {
    if (!files.folderExists(path))
        return false;
    return files.deleteTree(path);
}

void removeTemporaryFiles(platform::FileSystem& files, const std::string& programFolder) {
    deleteFolder(files, programFolder + "res");
    files.deleteFile(programFolder + "res.cab");
    files.deleteFile(programFolder + "KestrafenTemp.ini");
}

std::int64_t freeKilobytes(const platform::FileSystem& files, const std::string& root) {
    return static_cast<std::int64_t>(files.freeBytes(root).value_or(0) / 1024);
}

bool systemDriveLow(const platform::FileSystem& files, const std::string& systemDrive) {
    return tooLittleSpace(freeKilobytes(files, systemDrive + "\\"));
}

} // namespace restore
