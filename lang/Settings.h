#pragma once
// The settings file: one section, "Kestrafen", whose key "Langue" names the chosen language.
#include "platform/Profile.h"

#include <string>
#include <vector>

namespace lang {

std::string storedLanguage(const platform::IniFile& settings);
// Throws platform::Error naming the file when it cannot be written.
void storeLanguage(platform::IniFile& settings, const std::string& name);

// The language of a first run: a French desktop folder means French, an English one alone English,
// and a profile with neither (or no profile at all) French.
std::string firstRunLanguage(bool hasBureauFolder, bool hasDesktopFolder);

// The section of the language file a stored name selects (letter case aside), spelled as in the
// file; empty when none matches, so every text is its French default.
std::string languageSection(const std::vector<std::string>& sections, const std::string& stored);

} // namespace lang
