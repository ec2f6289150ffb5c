#include "restore/DisplayDate.h"

#include <cctype>
#include <cstdio>

namespace restore {

namespace {

std::string number(int value, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", width, value);
    return buf;
}

} // namespace

std::string formatDate(const std::string& pattern, const std::string& separator,
                       const platform::LocalDateTime& t) {
    std::string out;
    size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (c == '\'' || c == '"') {
            const size_t end = pattern.find(c, i + 1);
            const size_t stop = end == std::string::npos ? pattern.size() : end;
            out += pattern.substr(i + 1, stop - i - 1);
            i = stop == pattern.size() ? stop : stop + 1;
            continue;
        }
        if (c == '/') {
            out += separator;
            ++i;
            continue;
        }
        if (lower != 'd' && lower != 'm' && lower != 'y') {
            out += c;
            ++i;
            continue;
        }
        size_t run = 1;
        while (i + run < pattern.size() &&
               std::tolower(static_cast<unsigned char>(pattern[i + run])) == lower)
            ++run;
        if (lower == 'd')
            out += number(t.day, run >= 2 ? 2 : 1);
        else if (lower == 'm')
            out += number(t.month, run >= 2 ? 2 : 1);
        else
            out += run <= 2 ? number(t.year % 100, 2) : number(t.year, 4);
        i += run;
    }
    return out;
}

std::string formatTime(const platform::LocalDateTime& t) {
    return number(t.hour, 2) + ":" + number(t.minute, 2) + ":" + number(t.second, 2);
}

std::string displayDate(const std::string& pattern, const std::string& separator,
                        const platform::LocalDateTime& t) {
    std::string text = formatDate(pattern, separator, t);
    if (t.hour != 0 || t.minute != 0 || t.second != 0)
        text += " " + formatTime(t);
    return text;
}

std::int64_t daysSinceEpoch(int year, int month, int day) {
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::int64_t clockSeconds(const platform::LocalDateTime& t) {
    return (daysSinceEpoch(t.year, t.month, t.day) * 24 + t.hour) * 3600LL + t.minute * 60LL + t.second;
}

} // namespace restore
