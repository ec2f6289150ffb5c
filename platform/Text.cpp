#include "platform/Text.h"

#include "platform/Error.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <optional>

namespace platform::text {

namespace {

// Bytes 0x80-0x9F of Windows-1252. The five bytes the code page leaves undefined map to the C1
// control of the same number, so that every byte survives a round trip through UTF-8.
constexpr std::array<char32_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// A byte that is not part of valid UTF-8 decodes to this base plus the byte: outside Unicode, so
// it never equals a real character and comparisons stay total.
constexpr char32_t kInvalidBase = 0x110000;

char32_t fromByte(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F)
        return kHighTable[b - 0x80];
    return b;
}

// The characters of bytes 0x80-0x9F, sorted, with their bytes: a binary search instead of a walk
// of the table for every character written.
constexpr std::array<std::pair<char32_t, unsigned char>, 32> sortedHighTable() {
    std::array<std::pair<char32_t, unsigned char>, 32> sorted{};
    for (std::size_t i = 0; i < kHighTable.size(); ++i)
        sorted[i] = {kHighTable[i], static_cast<unsigned char>(0x80 + i)};
    for (std::size_t i = 1; i < sorted.size(); ++i)
        for (std::size_t j = i; j > 0 && sorted[j].first < sorted[j - 1].first; --j) {
            const auto t = sorted[j];
            sorted[j] = sorted[j - 1];
            sorted[j - 1] = t;
        }
    return sorted;
}
constexpr auto kHighBytes = sortedHighTable();

// -1 when the character has no Windows-1252 byte.
int toByte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    const auto it = std::lower_bound(kHighBytes.begin(), kHighBytes.end(), cp,
                                     [](const auto& entry, char32_t c) { return entry.first < c; });
    return it != kHighBytes.end() && it->first == cp ? it->second : -1;
}

bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Decodes the character at text[i] and advances i past it. Malformed sequences, overlong forms
// and surrogates consume one byte and decode to kInvalidBase + that byte.
char32_t decodeNext(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    }
    if (length == 0 || i + length > text.size()) {
        ++i;
        return kInvalidBase + lead;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if (!isContinuation(b)) {
            ++i;
            return kInvalidBase + lead;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return kInvalidBase + lead;
    }
    i += length;
    return cp;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp >= kInvalidBase) {
        out += static_cast<char>(cp - kInvalidBase);
    } else if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The unit of an unpaired UTF-16 surrogate that fromUtf16le kept as its three-byte form at text[i].
std::optional<char32_t> loneSurrogateAt(std::string_view text, std::size_t i) {
    if (i + 2 >= text.size() || static_cast<unsigned char>(text[i]) != 0xED)
        return std::nullopt;
    const auto b1 = static_cast<unsigned char>(text[i + 1]);
    const auto b2 = static_cast<unsigned char>(text[i + 2]);
    if (b1 < 0xA0 || b1 > 0xBF || !isContinuation(b2))
        return std::nullopt;
    return 0xD000 | ((b1 & 0x3F) << 6) | (b2 & 0x3F);
}

// Upper case of the letters Windows-1252 holds; every other character is its own upper case.
char32_t upperChar(char32_t cp) {
    if (cp >= 'a' && cp <= 'z')
        return cp - 0x20;
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) // à-þ, but not ÷
        return cp - 0x20;
    switch (cp) {
    case 0x0161:
        return 0x0160; // š
    case 0x0153:
        return 0x0152; // œ
    case 0x017E:
        return 0x017D; // ž
    case 0x00FF:
        return 0x0178; // ÿ
    default:
        return cp;
    }
}

// Order of the upper-cased Windows-1252 byte; characters outside the code page sort after it.
std::uint32_t sortKey(char32_t cp) {
    const char32_t up = upperChar(cp);
    const int b = toByte(up);
    return b >= 0 ? static_cast<std::uint32_t>(b) : 0x100 + static_cast<std::uint32_t>(up);
}

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

} // namespace

std::string toCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t run = i; // ASCII is the same in both: copied in runs
        while (run < utf8.size() && static_cast<unsigned char>(utf8[run]) < 0x80)
            ++run;
        out.append(utf8.substr(i, run - i));
        if ((i = run) == utf8.size())
            break;
        const int b = toByte(decodeNext(utf8, i));
        out += b >= 0 ? static_cast<char>(b) : '?';
    }
    return out;
}

std::string toUtf16le(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() * 2);
    const auto unit = [&out](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>((u >> 8) & 0xFF);
    };
    for (std::size_t i = 0; i < utf8.size();) {
        if (const auto surrogate = loneSurrogateAt(utf8, i)) {
            unit(*surrogate);
            i += 3;
            continue;
        }
        char32_t cp = decodeNext(utf8, i);
        if (cp >= kInvalidBase) // a stray byte stands for the Windows-1252 character it would be
            cp = fromByte(static_cast<unsigned char>(cp - kInvalidBase));
        if (cp >= 0x10000) {
            cp -= 0x10000;
            unit(0xD800 + (cp >> 10));
            unit(0xDC00 + (cp & 0x3FF));
        } else {
            unit(cp);
        }
    }
    return out;
}

std::string fromUtf16le(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    const auto unitAt = [&bytes](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t cp = unitAt(i);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < bytes.size() && unitAt(i + 2) >= 0xDC00 &&
            unitAt(i + 2) <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00);
            i += 2;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            // An unpaired surrogate holds no character, but a file written back keeps it.
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
            continue;
        }
        appendUtf8(out, cp);
    }
    return out;
}

std::string fromCp1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    // Files are mostly ASCII, which is the same in both encodings: copy it in runs.
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t run = i;
        while (run < bytes.size() && static_cast<unsigned char>(bytes[run]) < 0x80)
            ++run;
        out.append(bytes.substr(i, run - i));
        if (run < bytes.size())
            appendUtf8(out, fromByte(static_cast<unsigned char>(bytes[run++])));
        i = run;
    }
    return out;
}

int compareIgnoreCase(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[j]);
        if (ca < 0x80 && cb < 0x80) { // plain ASCII: the common case, without decoding
            const int fa = ca >= 'a' && ca <= 'z' ? ca - 0x20 : ca;
            const int fb = cb >= 'a' && cb <= 'z' ? cb - 0x20 : cb;
            if (fa != fb)
                return fa < fb ? -1 : 1;
            ++i, ++j;
            continue;
        }
        const std::uint32_t ka = sortKey(decodeNext(a, i));
        const std::uint32_t kb = sortKey(decodeNext(b, j));
        if (ka != kb)
            return ka < kb ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

// Every letter pair of the code page has the same UTF-8 length in both cases, so texts of
// different lengths never match.
bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && compareIgnoreCase(a, b) == 0;
}

std::string upper(std::string_view utf8) {
    // Names are mostly ASCII: fold those in place, decode only from the first other byte on.
    std::string out(utf8);
    std::size_t i = 0;
    for (; i < out.size(); ++i) {
        const auto b = static_cast<unsigned char>(out[i]);
        if (b >= 0x80)
            break;
        if (b >= 'a' && b <= 'z')
            out[i] = static_cast<char>(b - 0x20);
    }
    if (i == out.size())
        return out;
    out.resize(i);
    while (i < utf8.size())
        appendUtf8(out, upperChar(decodeNext(utf8, i)));
    return out;
}

long long toInteger(std::string_view text) {
    std::string_view digits = text;
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-'))
        digits.remove_prefix(1);
    // Unsigned parsing refuses any further sign, so only digits are left to accept.
    unsigned long long magnitude = 0;
    const char* end = digits.data() + digits.size();
    const auto result = std::from_chars(digits.data(), end, magnitude, 10);
    const unsigned long long limit =
        static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + (negative ? 1 : 0);
    if (digits.empty() || result.ec != std::errc() || result.ptr != end || magnitude > limit)
        throw notAnInteger(std::string(text));
    if (!negative)
        return static_cast<long long>(magnitude);
    return magnitude == limit ? std::numeric_limits<long long>::min() : -static_cast<long long>(magnitude);
}

// Blanks are spaces and control characters, as the system's own trimming treats them.
std::string trim(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    return std::string(text.substr(first, last - first));
}

const AnsiCodePage& windows1252() {
    static const AnsiCodePage codePage;
    return codePage;
}

} // namespace platform::text
