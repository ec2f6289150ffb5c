#include "platform/IniText.h"

#include "platform/Text.h"

#include <utility>

namespace platform::ini {

namespace {

// Only these count as blanks around names and values: other control bytes are kept, as
// Windows keeps them.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v';
}

// The name of a section header line, or nothing when the line is no header.
// Windows ends the name at the first "]"; here it ends at the last one, because the program names
// point-cache sections after list entries, and a description holding "]" must still find its own.
std::optional<std::string_view> sectionOf(std::string_view line) {
    line = trimmed(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    line.remove_prefix(1);
    const auto close = line.rfind(']');
    return trimmed(close == std::string_view::npos ? line : line.substr(0, close));
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

bool isBlankLine(std::string_view line) {
    return trimmed(line).empty();
}

} // namespace

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

Document::Document() : sections_(1) {}

// CR, LF and CRLF each end a line, as the system's reader takes them.
Document::Document(std::string_view text) : sections_(1) {
    bool firstEnd = true;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t stop = text.find_first_of("\r\n", begin);
        Line line;
        line.content = std::string(text.substr(begin, stop == std::string_view::npos ? text.npos : stop - begin));
        if (stop == std::string_view::npos) {
            begin = text.size();
        } else if (text[stop] == '\r' && stop + 1 < text.size() && text[stop + 1] == '\n') {
            line.end = End::CrLf;
            begin = stop + 2;
        } else {
            line.end = text[stop] == '\r' ? End::Cr : End::Lf;
            begin = stop + 1;
        }
        if (line.end != End::None && firstEnd) {
            lineEnd_ = line.end;
            firstEnd = false;
        }
        if (const auto name = sectionOf(line.content)) {
            Section section;
            section.name = std::string(*name);
            section.headed = true;
            sections_.push_back(std::move(section));
        }
        sections_.back().lines.push_back(std::move(line));
    }
    reindex();
}

void Document::reindex() {
    index_.clear();
    for (std::size_t i = 1; i < sections_.size(); ++i)
        index_.emplace(text::upper(sections_[i].name), i); // keeps the first of a name
}

std::string Document::text() const {
    std::size_t size = 0;
    for (const Section& section : sections_)
        for (const Line& line : section.lines)
            size += line.content.size() + 2;
    std::string out;
    out.reserve(size);
    for (const Section& section : sections_) {
        for (const Line& line : section.lines) {
            out += line.content;
            switch (line.end) {
            case End::None:
                break;
            case End::Lf:
                out += '\n';
                break;
            case End::Cr:
                out += '\r';
                break;
            case End::CrLf:
                out += "\r\n";
                break;
            }
        }
    }
    return out;
}

const Document::Section* Document::find(std::string_view section) const {
    const auto it = index_.find(text::upper(trimmed(section)));
    return it == index_.end() ? nullptr : &sections_[it->second];
}

Document::Section* Document::find(std::string_view section) {
    return const_cast<Section*>(std::as_const(*this).find(section));
}

std::optional<std::size_t> Document::findKey(const Section& section, std::string_view key) {
    key = trimmed(key);
    for (std::size_t i = section.headed ? 1 : 0; i < section.lines.size(); ++i) {
        const auto entry = entryOf(section.lines[i].content);
        if (entry && text::equalsIgnoreCase(entry->key, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> Document::value(std::string_view section, std::string_view key) const {
    const Section* found = find(section);
    if (!found)
        return std::nullopt;
    const auto line = findKey(*found, key);
    if (!line)
        return std::nullopt;
    const auto entry = entryOf(found->lines[*line].content);
    return std::string(cutToCharacters(unquoted(entry->value), kMaxValueLength));
}

std::vector<std::string> Document::sectionNames() const {
    std::vector<std::string> names;
    names.reserve(sections_.size() - 1);
    for (std::size_t i = 1; i < sections_.size(); ++i)
        names.push_back(sections_[i].name);
    return names;
}

void Document::setValue(std::string_view section, std::string_view key, std::string_view value) {
    section = trimmed(section);
    key = trimmed(key);
    Section* found = find(section);
    if (found) {
        if (const auto line = findKey(*found, key)) {
            // Keep the key as it is spelled in the file; a rewritten last line gets its line end,
            // as the system's writer gives it.
            Line& entry = found->lines[*line];
            entry.content = std::string(entryOf(entry.content)->key) + "=" + std::string(value);
            if (entry.end == End::None)
                entry.end = lineEnd_;
            return;
        }
    }
    // A line that ends the file without a line end gets one when a line is added after it, and
    // the added line gets one too.
    const auto endAfter = [this](Line& before) {
        if (before.end == End::None)
            before.end = lineEnd_;
    };
    Line entry{std::string(key) + "=" + std::string(value), lineEnd_};
    if (found) {
        // After the section's last non-blank line, so blank lines before the next section stay there.
        std::size_t at = found->lines.size();
        while (at > 1 && isBlankLine(found->lines[at - 1].content))
            --at;
        if (at > 0)
            endAfter(found->lines[at - 1]);
        found->lines.insert(found->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
        return;
    }
    // A new section goes right after the last line, with no blank line before it.
    for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
        if (!it->lines.empty()) {
            endAfter(it->lines.back());
            break;
        }
    }
    Section added;
    added.name = std::string(section);
    added.headed = true;
    added.lines.push_back(Line{"[" + added.name + "]", lineEnd_});
    added.lines.push_back(std::move(entry));
    index_.emplace(text::upper(added.name), sections_.size());
    sections_.push_back(std::move(added));
}

bool Document::removeKey(std::string_view section, std::string_view key) {
    Section* found = find(section);
    if (!found)
        return false;
    const auto line = findKey(*found, key);
    if (!line)
        return false;
    found->lines.erase(found->lines.begin() + static_cast<std::ptrdiff_t>(*line));
    return true;
}

bool Document::removeSection(std::string_view section) {
    const Section* found = find(section);
    if (!found)
        return false;
    sections_.erase(sections_.begin() + (found - sections_.data()));
    reindex();
    return true;
}

} // namespace platform::ini
