#pragma once
// The text of a profile (INI) file, read and edited with the Windows rules. A Document works on the
// whole file as UTF-8 text and knows nothing of disks or code pages: the profile service converts
// at its edge. It is parsed once into lines grouped by section, so lookups and edits cost the size
// of one section, not of the file; edits touch one line and keep every other byte of the text.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform::ini {

// The longest value a reader gets, in characters.
inline constexpr std::size_t kMaxValueLength = 2047;

// Section and key names as the profile functions take them: blanks at both ends do not count.
std::string_view trimmed(std::string_view s);

class Document {
public:
    Document();
    explicit Document(std::string_view text);

    // The text with every edit made, every other byte as it was read.
    std::string text() const;

    // The value of a key in a section: blanks trimmed, one pair of enclosing quotes removed, cut
    // to kMaxValueLength. Nothing when the section or the key is absent. Sections and keys are
    // matched without regard to case; the first section and the first key of that name win.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // The names of the sections, in file order.
    std::vector<std::string> sectionNames() const;

    // Sets the key, creating the section and the key as needed. New lines take the line ends of
    // the text (CRLF when it has none).
    void setValue(std::string_view section, std::string_view key, std::string_view value);
    // Remove the first key of that name in the section, or the whole first section of that name
    // with its lines; false when there was nothing to remove.
    bool removeKey(std::string_view section, std::string_view key);
    bool removeSection(std::string_view section);

private:
    enum class End : unsigned char { None, Lf, Cr, CrLf };
    struct Line {
        std::string content;
        End end = End::None;
    };
    struct Section {
        std::string name;        // trimmed; empty for the lines before the first header
        std::vector<Line> lines; // the header line first, when there is one
        bool headed = false;
    };

    const Section* find(std::string_view section) const;
    Section* find(std::string_view section);
    // The index in section.lines of the key's line, or nothing.
    static std::optional<std::size_t> findKey(const Section& section, std::string_view key);
    void reindex();

    std::vector<Section> sections_; // the first holds what stands before any header
    std::unordered_map<std::string, std::size_t> index_; // upper-cased name -> first such section
    End lineEnd_ = End::CrLf;
};

} // namespace platform::ini
