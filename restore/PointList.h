#pragma once
// Listing the restore points: each point the service returns becomes a list entry, named by its
// local date and description, and a section of the point cache named by that entry.
#include "lang/Language.h"
#include "platform/Profile.h"
#include "platform/SystemRestore.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace restore {

struct ListedPoint {
    std::string entry;   // "(" + display date + ") " + description: the list text and cache section
    std::string sortKey; // yyyymmddHHMMSS as written in CreationTime
    long long sequence = 0;
    long long type = 0;
    std::string description;
    platform::LocalDateTime local; // CreationTime in local time
    std::int64_t utcSeconds = 0;   // CreationTime as seconds since 1970-01-01 UTC
};

// The sort key each cache section got from one walk, by section name as the profile functions
// match it (blanks at the ends dropped, upper case): the values written last when points share one.
using WrittenKeys = std::unordered_map<std::string, std::string>;
std::string sectionKey(const std::string& section);

// Walks the given points in the service's order, skips cancelled operations and hands each listed
// point to `listed`. Type, number and creation time carry over from one point to the next, as the
// service's converter is reused for the whole walk. Throws platform::Error as readPoints does.
void walkPoints(platform::SystemRestore& service, const std::vector<platform::WmiInstance>& points,
                const lang::DatePattern& date, const std::function<void(const ListedPoint&)>& listed);

// A description as the list shows it and the cache names its section: each line break (CR LF, CR
// or LF) becomes one blank, since a section header is one line of the cache file.
std::string onOneLine(const std::string& description);

// Walks the service's points in its order, skips cancelled operations, writes each listed point's
// cache section (DirectoryName, Type, Number, Date) and then hands it to `listed`. The cache file
// is replaced once for the whole walk (and once at its first point, so that a cache that cannot be
// written fails there). A failing service call or a value that does not convert throws
// platform::Error and ends the walk; the sections written so far are in the file then.
WrittenKeys readPoints(platform::SystemRestore& service, platform::IniFile& cache, const lang::DatePattern& date,
                       const std::function<void(const ListedPoint&)>& listed);

// Replaces provisional sort keys by entry texts: each cache section, in file order, takes the place
// of the first entry equal to its sort key (without regard to case), or goes to the end when none
// is left. `sortKeyOf` gives a section's sort key.
std::vector<std::string> placeEntries(std::vector<std::string> provisional, const std::vector<std::string>& sections,
                                      const std::function<std::string(const std::string&)>& sortKeyOf);

} // namespace restore
