#include "cli/Json.h"

#include <cstdio>
#include <cstdlib>

namespace cli::json {

namespace {

constexpr char32_t replacement = 0xFFFD;

// The code point that starts at `at`, moving `at` past it; a broken sequence gives U+FFFD for its
// first byte only, so the bytes after it are read again.
char32_t nextCodePoint(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    char32_t value = 0;
    if (lead < 0x80) {
        ++at;
        return lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07;
    } else {
        ++at;
        return replacement;
    }
    if (at + length > text.size()) {
        ++at;
        return replacement;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            ++at;
            return replacement;
        }
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < least[length] || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) {
        ++at;
        return replacement;
    }
    at += length;
    return value;
}

void appendEscape(std::string& out, char32_t unit) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
    out += escape;
}

} // namespace

std::string quoted(std::string_view utf8) {
    std::string out = "\"";
    for (std::size_t at = 0; at < utf8.size();) {
        const char32_t c = nextCodePoint(utf8, at);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if (c > 0xFFFF) {
            appendEscape(out, 0xD800 + ((c - 0x10000) >> 10));
            appendEscape(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            appendEscape(out, c);
        }
    }
    return out + "\"";
}

std::string number(std::optional<long long> value) {
    return value ? std::to_string(*value) : "null";
}

std::string boolean(std::optional<bool> value) {
    return value ? (*value ? "true" : "false") : "null";
}

std::string array(const std::vector<std::string>& values) {
    std::string out = "[";
    for (std::size_t i = 0; i < values.size(); ++i)
        out += (i ? ", " : "") + values[i];
    return out + "]";
}

std::string object(const std::vector<std::pair<std::string, std::string>>& members) {
    std::string out = "{";
    for (std::size_t i = 0; i < members.size(); ++i)
        out += (i ? ", " : "") + quoted(members[i].first) + ": " + members[i].second;
    return out + "}";
}

std::string isoTime(int year, int month, int day, int hour, int minute, int second, int offsetMinutes) {
    char text[48];
    const int offset = std::abs(offsetMinutes);
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", year, month, day, hour,
                  minute, second, offsetMinutes < 0 ? '-' : '+', offset / 60 % 100, offset % 60);
    return text;
}

} // namespace cli::json
