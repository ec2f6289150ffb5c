#include "restore/PointList.h"

#include "platform/IniText.h"
#include "platform/Text.h"
#include "restore/DisplayDate.h"
#include "restore/PointTypes.h"

#include <cstdio>
#include <set>

namespace restore {

namespace {

// The CIM date-time fields handed to the converter; they stay set from one point to the next,
// as the converter object is reused for the whole run.
struct CimFields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, microseconds = 0, offset = 0;

    void set(const std::string& cim) {
        auto field = [&cim](size_t from, size_t length) {
            return static_cast<int>(
                platform::text::toInteger(from < cim.size() ? cim.substr(from, length) : ""));
        };
        year = field(0, 4);
        month = field(4, 2);
        day = field(6, 2);
        hour = field(8, 2);
        minute = field(10, 2);
        second = field(12, 2);
        microseconds = field(15, 6);
        offset = field(21, 4);
    }

    // The instant the fields name: the fields as written less their offset from UTC.
    std::int64_t utcSeconds() const {
        return (daysSinceEpoch(year, month, day) * 24 + hour) * 3600LL + minute * 60LL + second -
               offset * 60LL;
    }

    // yyyymmddHHMMSS from the fields as written, not converted to local time.
    std::string sortKey() const {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%d%02d%02d%02d%02d%02d", year, month, day, hour, minute, second);
        return buf;
    }
};

} // namespace

std::string onOneLine(const std::string& description) {
    std::string out;
    out.reserve(description.size());
    for (std::size_t i = 0; i < description.size(); ++i) {
        if (description[i] == '\r' && i + 1 < description.size() && description[i + 1] == '\n')
            ++i;
        out += description[i] == '\r' || description[i] == '\n' ? ' ' : description[i];
    }
    return out;
}

std::string sectionKey(const std::string& section) {
    return platform::text::upper(platform::ini::trimmed(section));
}

void walkPoints(platform::SystemRestore& service, const std::vector<platform::WmiInstance>& points,
                const lang::DatePattern& date, const std::function<void(const ListedPoint&)>& listed) {
    // Type and number carry over: a point that lacks one keeps the previous point's value.
    ListedPoint point;
    CimFields cim;
    for (const auto& instance : points) {
        point.entry.clear();
        point.description.clear();
        for (const auto& property : instance) {
            if (property.name == "CreationTime") {
                cim.set(property.value.asText());
                point.local = service.toLocalTime(cim.year, cim.month, cim.day, cim.hour, cim.minute,
                                                  cim.second, cim.microseconds, cim.offset);
                point.utcSeconds = cim.utcSeconds();
                point.entry = "(" + displayDate(date.format, date.separator, point.local) + ") ";
            } else if (property.name == "Description") {
                point.entry += onOneLine(property.value.asText());
                point.description += property.value.asText();
            } else if (property.name == "SequenceNumber") {
                point.sequence = property.value.asInteger();
            } else if (property.name == "RestorePointType") {
                point.type = property.value.asInteger();
            }
        }
        if (point.type == cancelledOperation)
            continue;
        point.sortKey = cim.sortKey();
        listed(point);
    }
}

WrittenKeys readPoints(platform::SystemRestore& service, platform::IniFile& cache,
                       const lang::DatePattern& date, const std::function<void(const ListedPoint&)>& listed) {
    const std::vector<platform::WmiInstance> points = service.restorePoints();
    platform::HeldWrites held(cache);
    WrittenKeys written;
    walkPoints(service, points, date, [&](const ListedPoint& point) {
        cache.writeString(point.entry, "DirectoryName", "RP" + std::to_string(point.sequence));
        cache.writeString(point.entry, "Type", typeText(point.type));
        cache.writeString(point.entry, "Number", std::to_string(point.sequence));
        cache.writeString(point.entry, "Date", point.sortKey);
        written[sectionKey(point.entry)] = point.sortKey;
        listed(point);
    });
    held.commit();
    return written;
}

// The slots of each text, by upper-cased text, so every section finds its first slot at once
// instead of searching the list: a listing of n points costs n log n, not n squared.
std::vector<std::string> placeEntries(std::vector<std::string> provisional,
                                      const std::vector<std::string>& sections,
                                      const std::function<std::string(const std::string&)>& sortKeyOf) {
    std::unordered_map<std::string, std::set<std::size_t>> slots;
    for (std::size_t i = 0; i < provisional.size(); ++i)
        slots[platform::text::upper(provisional[i])].insert(i);
    for (const std::string& section : sections) {
        const auto found = slots.find(platform::text::upper(sortKeyOf(section)));
        std::size_t at = provisional.size();
        if (found != slots.end() && !found->second.empty()) {
            at = *found->second.begin();
            found->second.erase(found->second.begin());
            provisional[at] = section;
        } else {
            provisional.push_back(section);
        }
        // A placed section is an entry like any other: a later sort key may equal its text.
        slots[platform::text::upper(section)].insert(at);
    }
    return provisional;
}

} // namespace restore
