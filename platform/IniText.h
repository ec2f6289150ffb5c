#pragma once
// The text of a profile (INI) file, read and edited with the Windows rules. The functions work on
// the whole file as UTF-8 text and know nothing of disks or code pages: the profile service
// converts at its edge. Edits touch one line and keep every other byte of the text.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::ini {

// The longest value a reader gets, in characters.
inline constexpr std::size_t kMaxValueLength = 2047;

// The value of a key in a section: blanks trimmed, one pair of enclosing quotes removed, cut to
// kMaxValueLength. Nothing when the section or the key is absent. Sections and keys are matched
// without regard to case; the first section and the first key of that name win.
std::optional<std::string> findValue(std::string_view text, std::string_view section, std::string_view key);

// The names of the sections, in file order.
std::vector<std::string> sectionNames(std::string_view text);

// The text with the key set to the value, creating the section and the key as needed. New lines
// take the line ends of the text (CRLF when it has none).
std::string setValue(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value);

} // namespace platform::ini
