// The language file: its language list, and for each language its date pattern, separator and
// every text of the table, then a date shown with that pattern.
#include "Finding.h"
#include "lang/Language.h"
#include "platform/FileProfile.h"
#include "restore/DisplayDate.h"
#include "support/MemoryFiles.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    testing_support::MemoryFiles files;
    const std::string path = "C:\\Program Files\\Kestrafen\\langues.ini";
    files.files[path] = std::string(reinterpret_cast<const char*>(data), size);
    files.stamps = true;
    platform::FileProfile profile(files);
    platform::IniFile file(profile, path);
    const std::vector<std::string> names = file.sections();
    std::string current;
    lang::Language language(file);
    language.follow([&current] { return current; });
    for (std::size_t i = 0; i < names.size() && i < 8; ++i) {
        current = names[i];
        language.loadDatePattern(true);
        language.loadTable();
        const lang::DatePattern& date = language.datePattern();
        if (date.separator.empty())
            fuzz::finding("an empty date separator");
        const std::string shown = restore::displayDate(date.format, date.separator, {2006, 10, 4, 15, 30, 0});
        if (shown.find("15:30:00") == std::string::npos)
            fuzz::finding("a date shown without its time: " + shown);
    }
    return 0;
}
