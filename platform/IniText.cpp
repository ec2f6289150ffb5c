#include "platform/IniText.h"

#include "platform/Text.h"

namespace platform::ini {

namespace {

// One line of the text: content without its line end, and where the next line starts.
struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t next = 0;
};

// Calls visit(line, content) for each line until it returns false.
template <typename Visit> void forEachLine(std::string_view text, Visit visit) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t newline = text.find('\n', begin);
        Line line;
        line.begin = begin;
        line.next = newline == std::string_view::npos ? text.size() : newline + 1;
        line.end = newline == std::string_view::npos ? text.size() : newline;
        if (newline != std::string_view::npos && line.end > begin && text[line.end - 1] == '\r')
            --line.end;
        if (!visit(line, text.substr(line.begin, line.end - line.begin)))
            return;
        begin = line.next;
    }
}

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The name is kept as written, blanks included, up to the last "]": the program names sections
// after list entries, which may end in a blank or hold brackets of their own.
std::optional<std::string_view> sectionOf(std::string_view line) {
    line = trimmed(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    line.remove_prefix(1);
    const auto close = line.rfind(']');
    return close == std::string_view::npos ? line : line.substr(0, close);
}

struct Entry {
    std::string_view key;
    std::string_view value;
};

// A "key=value" line; lines without "=" hold no entry.
std::optional<Entry> entryOf(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return Entry{trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1))};
}

std::string_view unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Cuts UTF-8 text to a number of characters.
std::string_view cutToCharacters(std::string_view s, std::size_t characters) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80;
        if (startsCharacter && count++ == characters)
            return s.substr(0, i);
    }
    return s;
}

std::string_view lineEndOf(std::string_view text) {
    const std::size_t newline = text.find('\n');
    if (newline != std::string_view::npos && (newline == 0 || text[newline - 1] != '\r'))
        return "\n";
    return "\r\n";
}

bool endsWithBlankLine(std::string_view text) {
    std::size_t newlines = 0;
    for (std::size_t i = text.size(); i > 0 && isBlank(text[i - 1]); --i)
        newlines += text[i - 1] == '\n' ? 1 : 0;
    return newlines >= 2;
}

// Where the section and the key stand in the text.
struct Place {
    std::optional<Line> section;
    std::optional<Line> lastContent; // the last non-blank line of the section, its header included
    std::optional<Line> key;
};

Place locate(std::string_view text, std::string_view section, std::string_view key) {
    key = trimmed(key);
    Place place;
    forEachLine(text, [&](const Line& line, std::string_view content) {
        if (const auto name = sectionOf(content)) {
            if (place.section)
                return false;
            if (text::equalsIgnoreCase(*name, section))
                place.section = place.lastContent = line;
            return true;
        }
        if (!place.section)
            return true;
        if (!trimmed(content).empty())
            place.lastContent = line;
        const auto entry = entryOf(content);
        if (entry && text::equalsIgnoreCase(entry->key, key)) {
            place.key = line;
            return false;
        }
        return true;
    });
    return place;
}

} // namespace

std::optional<std::string> findValue(std::string_view text, std::string_view section, std::string_view key) {
    const Place place = locate(text, section, key);
    if (!place.key)
        return std::nullopt;
    const Line& line = *place.key;
    const auto entry = entryOf(text.substr(line.begin, line.end - line.begin));
    return std::string(cutToCharacters(unquoted(entry->value), kMaxValueLength));
}

std::vector<std::string> sectionNames(std::string_view text) {
    std::vector<std::string> names;
    forEachLine(text, [&](const Line&, std::string_view content) {
        if (const auto name = sectionOf(content))
            names.emplace_back(*name);
        return true;
    });
    return names;
}

std::string setValue(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value) {
    const std::string_view eol = lineEndOf(text);
    const std::string entry = std::string(trimmed(key)) + "=" + std::string(value);
    const Place place = locate(text, section, key);
    std::string result;

    if (place.key) {
        // Keep the key as it is spelled in the file.
        const Line& line = *place.key;
        const auto old = entryOf(text.substr(line.begin, line.end - line.begin));
        result.append(text.substr(0, line.begin));
        result.append(old->key).append("=").append(value);
        result.append(text.substr(line.end));
        return result;
    }

    if (place.section) {
        // After the section's last entry, so blank lines before the next section stay there.
        const Line& last = *place.lastContent;
        const bool lastHasLineEnd = last.next > last.end;
        result.append(text.substr(0, last.next));
        if (!lastHasLineEnd)
            result.append(eol);
        result.append(entry);
        if (lastHasLineEnd)
            result.append(eol);
        result.append(text.substr(last.next));
        return result;
    }

    // A new section goes at the end, one blank line after the last content.
    result.append(text);
    if (!result.empty() && result.back() != '\n')
        result.append(eol);
    if (!trimmed(text).empty() && !endsWithBlankLine(text))
        result.append(eol);
    result.append("[").append(section).append("]").append(eol);
    result.append(entry).append(eol);
    return result;
}

} // namespace platform::ini
