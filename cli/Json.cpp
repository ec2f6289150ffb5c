#include "cli/Json.h"

#include <cstdio>
#include <cstdlib>

namespace cli::json {

std::string quoted(std::string_view utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string isoTime(int year, int month, int day, int hour, int minute, int second, int offsetMinutes) {
    char text[48];
    const int offset = std::abs(offsetMinutes);
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", year, month, day, hour,
                  minute, second, offsetMinutes < 0 ? '-' : '+', offset / 60 % 100, offset % 60);
    return text;
}

} // namespace cli::json
