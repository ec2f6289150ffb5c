#include "lang/Settings.h"

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

std::string firstRunLanguage(bool hasBureauFolder, bool hasDesktopFolder) {
    return !hasBureauFolder && hasDesktopFolder ? "English" : "Français";
}

} // namespace lang
