#pragma once
// The drive lists of the settings dialog: drive letters separated by commas, each item used
// exactly as typed (blanks and letter case kept, empty items included).
#include <string>
#include <vector>

namespace config {

struct DriveItem {
    std::string argument; // the drive root handed to Enable or Disable
    bool systemDrive = false;
};

// The items of a list in order; a missing final comma is implied.
std::vector<std::string> splitDriveList(const std::string& text);

// "D:\" stays, "D:" gains "\", anything else gains ":\".
std::string driveArgument(const std::string& item);

// True when the item names the system drive ("C:") as "C", "C:" or "C:\", letter case included.
bool isSystemDrive(const std::string& item, const std::string& systemDrive);

std::vector<DriveItem> parseDriveList(const std::string& text, const std::string& systemDrive);

// True when the service would take an item of the list for the system drive: it ignores blanks
// and letter case, so "c" switches it off too.
bool reachesSystemDrive(const std::string& text, const std::string& systemDrive);

} // namespace config
