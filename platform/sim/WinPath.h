#pragma once
// Windows paths on the machine folder: "C:\Program Files\x" lives at drives/C/Program Files/x.
// A component that does not exist with the exact case is matched without regard to case.
#include <filesystem>
#include <optional>
#include <string>

namespace platform::sim {

class WinPath {
public:
    // currentFolder: a Windows path with a trailing backslash; relative paths start there.
    WinPath(std::filesystem::path machineFolder, std::string currentFolder);

    // The host path of a Windows path (absolute "C:\..." or relative). Components that exist with
    // another case resolve to the existing name; the rest keep their spelling. Nothing when the
    // path names no drive letter after resolution or tries to leave the drive ("..").
    std::optional<std::filesystem::path> toHost(const std::string& windowsPath) const;
    // "C:\a\b" from a relative or absolute path, normalised ("." and ".." resolved, "/" as "\").
    std::string absolute(const std::string& windowsPath) const;
    const std::string& currentFolder() const { return current_; }
    const std::filesystem::path& drivesFolder() const { return drives_; }

private:
    std::filesystem::path drives_;
    std::string current_;
};

} // namespace platform::sim
