#pragma once
// Windows text rules used everywhere: the ANSI code page (Windows-1252) at the edge of files and
// registry, and case-insensitive comparison as the system's own lists and profile files do it.
#include <cstdint>
#include <string>
#include <string_view>

namespace platform::text {

// UTF-8 inside the program, Windows-1252 on disk. Characters 1252 cannot hold become '?'.
std::string toCp1252(std::string_view utf8);
std::string fromCp1252(std::string_view bytes);
// The code page of the system's ANSI functions (file names, registry strings, the restore-point
// title): Windows-1252 unless the platform knows the system's own.
class AnsiCodePage {
public:
    virtual ~AnsiCodePage() = default;
    virtual std::string encode(std::string_view utf8) const { return toCp1252(utf8); }
    virtual std::string decode(std::string_view bytes) const { return fromCp1252(bytes); }
};
const AnsiCodePage& windows1252();

// UTF-16LE without a byte-order mark, as "Unicode" text files hold it after their FF FE. An
// unpaired surrogate becomes its three-byte form (ED A0 80 to ED BF BF) and goes back as it came, so
// a file read and written keeps it; an odd last byte is not text and is the caller's to keep.
std::string toUtf16le(std::string_view utf8);
std::string fromUtf16le(std::string_view bytes);

// Case-insensitive comparison over Windows-1252 letters (A-Z, accented Latin-1 letters, Š Œ Ž Ÿ).
int compareIgnoreCase(std::string_view a, std::string_view b);
bool equalsIgnoreCase(std::string_view a, std::string_view b);
std::string upper(std::string_view utf8);

// Strict decimal integer conversion (optional sign, digits, nothing else); throws notAnInteger.
long long toInteger(std::string_view text);

std::string trim(std::string_view text);

} // namespace platform::text
