#include "lang/Settings.h"

#include "platform/Text.h"

namespace lang {

namespace {
const char* const section = "Kestrafen";
const char* const languageKey = "Langue";
} // namespace

std::string storedLanguage(const platform::IniFile& settings) {
    return settings.readString(section, languageKey, "");
}

void storeLanguage(platform::IniFile& settings, const std::string& name) {
    settings.writeString(section, languageKey, name);
}

std::string languageSection(const std::vector<std::string>& sections, const std::string& stored) {
    for (const std::string& name : sections)
        if (platform::text::equalsIgnoreCase(name, stored))
            return name;
    return {};
}

std::string firstRunLanguage(bool hasBureauFolder, bool hasDesktopFolder) {
    return !hasBureauFolder && hasDesktopFolder ? "English" : "Français";
}

} // namespace lang
