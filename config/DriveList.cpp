#include "config/DriveList.h"

#include "platform/Text.h"

namespace config {

namespace {

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

std::vector<std::string> splitDriveList(const std::string& text) {
    std::vector<std::string> items;
    std::string item;
    for (char c : endsWith(text, ",") ? text : text + ",") {
        if (c == ',') {
            items.push_back(item);
            item.clear();
        } else {
            item += c;
        }
    }
    return items;
}

std::string driveArgument(const std::string& item) {
    if (endsWith(item, ":\\"))
        return item;
    if (endsWith(item, ":"))
        return item + "\\";
    return item + ":\\";
}

bool isSystemDrive(const std::string& item, const std::string& systemDrive) {
    const std::string root = systemDrive + "\\";
    return item + ":\\" == root || item == root || item + "\\" == root;
}

std::vector<DriveItem> parseDriveList(const std::string& text, const std::string& systemDrive) {
    std::vector<DriveItem> result;
    for (const std::string& item : splitDriveList(text))
        result.push_back({driveArgument(item), isSystemDrive(item, systemDrive)});
    return result;
}

bool reachesSystemDrive(const std::string& text, const std::string& systemDrive) {
    const std::string root = platform::text::upper(systemDrive) + "\\";
    for (const std::string& item : splitDriveList(text))
        if (platform::text::upper(driveArgument(platform::text::trim(item))) == root)
            return true;
    return false;
}

} // namespace config
