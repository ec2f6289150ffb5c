#include "platform/sim/RegFile.h"

#include "platform/Error.h"
#include "platform/Text.h"

#include <cstdio>
#include <string_view>

namespace platform::sim {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kEol = "\r\n";
// Hex data is wrapped so that no line of the file grows past this width, as the system's
// registry editor does.
constexpr std::size_t kLineWidth = 77;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> splitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t begin = 0;
    while (begin < bytes.size()) {
        std::size_t newline = bytes.find('\n', begin);
        if (newline == std::string_view::npos)
            newline = bytes.size();
        std::string_view line = bytes.substr(begin, newline - begin);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        begin = newline + 1;
    }
    return lines;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Hex digits to a number; nothing when empty, too long or not hex.
std::optional<std::uint32_t> parseHex(std::string_view digits, std::size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : digits) {
        const int d = hexDigit(c);
        if (d < 0)
            return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    return value;
}

// Reads the lines of one file, reporting errors with the file name and line number.
class Reader {
public:
    Reader(const std::string& bytes, const std::string& fileName)
        : lines_(splitLines(bytes)), file_(fileName) {}

    bool atEnd() const { return index_ >= lines_.size(); }
    std::string_view next() { return lines_[index_++]; }
    std::size_t lineNumber() const { return index_; } // of the line last returned

    [[noreturn]] void fail(std::size_t line, const std::string& what) const {
        throw Error(file_ + ", line " + std::to_string(line) + ": " + what);
    }

private:
    std::vector<std::string_view> lines_;
    std::size_t index_ = 0;
    std::string file_;
};

// A quoted string with the escapes \\ and \"; pos is at the opening quote and ends after the
// closing one. Nothing when the string is malformed.
std::optional<std::string> parseQuoted(std::string_view s, std::size_t& pos) {
    std::string out;
    for (++pos; pos < s.size(); ++pos) {
        const char c = s[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c == '\\') {
            if (pos + 1 >= s.size() || (s[pos + 1] != '\\' && s[pos + 1] != '"'))
                return std::nullopt;
            ++pos;
        }
        out += s[pos];
    }
    return std::nullopt;
}

// Comma-separated bytes, possibly continued on the following lines by a trailing backslash.
std::string parseHexBytes(std::string_view first, Reader& reader, std::size_t line) {
    std::string all;
    std::string_view part = trimmed(first);
    while (!part.empty() && part.back() == '\\') {
        part.remove_suffix(1);
        all.append(part);
        if (reader.atEnd())
            reader.fail(line, "hex data continues past the end of the file");
        part = trimmed(reader.next());
    }
    all.append(part);

    std::string bytes;
    std::string_view rest = trimmed(all);
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::optional<std::uint32_t> byte = parseHex(trimmed(rest.substr(0, comma)), 2);
        if (!byte)
            reader.fail(line, "malformed hex data");
        bytes += static_cast<char>(*byte);
        if (comma == std::string_view::npos)
            break;
        rest = rest.substr(comma + 1);
        if (trimmed(rest).empty())
            reader.fail(line, "malformed hex data");
    }
    return bytes;
}

// The data after "=": "text", dword:xxxxxxxx, hex:..., hex(n):...
RegValue parseData(std::string_view data, Reader& reader, std::size_t line) {
    if (!data.empty() && data.front() == '"') {
        std::size_t pos = 0;
        const std::optional<std::string> textValue = parseQuoted(data, pos);
        if (!textValue || !trimmed(data.substr(pos)).empty())
            reader.fail(line, "malformed string value");
        return {RegType::Sz, *textValue + '\0'};
    }
    if (data.starts_with("dword:")) {
        const std::optional<std::uint32_t> number = parseHex(trimmed(data.substr(6)), 8);
        if (!number)
            reader.fail(line, "malformed dword value");
        return reg::dword(*number);
    }
    if (data.starts_with("hex:"))
        return {RegType::Binary, parseHexBytes(data.substr(4), reader, line)};
    if (data.starts_with("hex(")) {
        const std::size_t close = data.find("):");
        const std::optional<std::uint32_t> type =
            close == std::string_view::npos ? std::nullopt : parseHex(data.substr(4, close - 4), 8);
        if (!type)
            reader.fail(line, "malformed value type");
        return {static_cast<RegType>(*type), parseHexBytes(data.substr(close + 2), reader, line)};
    }
    if (trimmed(data) == "-")
        reader.fail(line, "deleting a value is not supported here");
    reader.fail(line, "unknown kind of value data");
}

std::string escaped(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out;
}

// A REG_SZ that the quoted form can hold: one terminating zero, no other, no line break.
bool isPlainText(const RegValue& value) {
    const std::string& d = value.data;
    return value.type == RegType::Sz && !d.empty() && d.back() == '\0' &&
           d.find_first_of(std::string_view("\0\r\n", 3)) == d.size() - 1;
}

std::string hexLine(const std::string& prefix, const RegValue& value) {
    std::string typeText = "hex:";
    if (value.type != RegType::Binary) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "hex(%x):", static_cast<unsigned>(value.type));
        typeText = buffer;
    }
    std::string out = prefix + typeText;
    std::size_t width = out.size();
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        char token[4];
        const bool last = i + 1 == value.data.size();
        std::snprintf(token, sizeof token, last ? "%02x" : "%02x,",
                      static_cast<unsigned char>(value.data[i]));
        if (width + 3 > kLineWidth) {
            out += "\\";
            out += kEol;
            out += "  ";
            width = 2;
        }
        out += token;
        width += last ? 2 : 3;
    }
    return out;
}

std::string valueLine(const std::string& name, const RegValue& value) {
    const std::string prefix =
        (name.empty() ? std::string("@") : "\"" + escaped(text::toCp1252(name)) + "\"") + "=";
    if (isPlainText(value))
        return prefix + "\"" + escaped(std::string_view(value.data).substr(0, value.data.size() - 1)) + "\"";
    if (value.type == RegType::Dword && value.data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
            number = (number << 8) | static_cast<unsigned char>(value.data[static_cast<std::size_t>(i)]);
        char buffer[24];
        std::snprintf(buffer, sizeof buffer, "dword:%08x", static_cast<unsigned>(number));
        return prefix + buffer;
    }
    return hexLine(prefix, value);
}

// A key path as the file already spells it, as a key or as the start of a subkey's path; the
// path as given when the file does not know it.
std::string spellingInFile(const std::vector<RegKeyData>& keys, const std::string& path) {
    for (const RegKeyData& key : keys) {
        const bool samePath = key.path.size() == path.size();
        const bool parentOf = key.path.size() > path.size() && key.path[path.size()] == '\\';
        if ((samePath || parentOf) &&
            text::equalsIgnoreCase(std::string_view(key.path).substr(0, path.size()), path))
            return key.path.substr(0, path.size());
    }
    return path;
}

} // namespace

RegFile RegFile::parse(const std::string& bytes, const std::string& fileNameForErrors) {
    Reader reader(bytes, fileNameForErrors);
    if (reader.atEnd() || trimmed(reader.next()) != kHeader)
        reader.fail(1, "the file does not start with " + std::string(kHeader));

    RegFile file;
    RegKeyData* current = nullptr;
    while (!reader.atEnd()) {
        const std::string_view line = trimmed(reader.next());
        const std::size_t number = reader.lineNumber();
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3)
                reader.fail(number, "malformed key line");
            if (line[1] == '-')
                reader.fail(number, "deleting a key is not supported here");
            const std::string path = text::fromCp1252(line.substr(1, line.size() - 2));
            current = file.find(path);
            if (!current)
                current = &file.keys_.emplace_back(RegKeyData{path, {}});
            continue;
        }
        if (line.front() != '"' && line.front() != '@')
            reader.fail(number, "expected a key in brackets or a value");
        if (!current)
            reader.fail(number, "value outside of any key");

        std::size_t pos = 1;
        std::string name;
        if (line.front() == '"') {
            pos = 0;
            const std::optional<std::string> quoted = parseQuoted(line, pos);
            if (!quoted)
                reader.fail(number, "malformed value name");
            name = text::fromCp1252(*quoted);
        }
        const std::string_view rest = trimmed(line.substr(pos));
        if (rest.empty() || rest.front() != '=')
            reader.fail(number, "expected '=' after the value name");
        RegValue value = parseData(trimmed(rest.substr(1)), reader, number);

        // A name given twice keeps its first place and spelling and takes the later data, as an
        // import into the registry would.
        setValue(*current, name, std::move(value));
    }
    return file;
}

std::string RegFile::serialize() const {
    std::string out(kHeader);
    out.append(kEol).append(kEol);
    for (const RegKeyData& key : keys_) {
        out.append("[").append(text::toCp1252(key.path)).append("]").append(kEol);
        for (const auto& [name, value] : key.values)
            out.append(valueLine(name, value)).append(kEol);
        out.append(kEol);
    }
    return out;
}

RegKeyData* RegFile::find(const std::string& fullPath) {
    for (RegKeyData& key : keys_)
        if (text::equalsIgnoreCase(key.path, fullPath))
            return &key;
    return nullptr;
}

const RegKeyData* RegFile::find(const std::string& fullPath) const {
    for (const RegKeyData& key : keys_)
        if (text::equalsIgnoreCase(key.path, fullPath))
            return &key;
    return nullptr;
}

RegKeyData& RegFile::create(const std::string& fullPath) {
    std::string path;
    std::size_t begin = 0;
    while (begin <= fullPath.size()) {
        std::size_t end = fullPath.find('\\', begin);
        if (end == std::string::npos)
            end = fullPath.size();
        if (end > begin) {
            const std::string component = fullPath.substr(begin, end - begin);
            path = spellingInFile(keys_, path.empty() ? component : path + "\\" + component);
            if (!find(path))
                keys_.push_back(RegKeyData{path, {}});
        }
        begin = end + 1;
    }
    if (path.empty())
        throw Error("Invalid registry key '" + fullPath + "'");
    return *find(path);
}

void setValue(RegKeyData& key, const std::string& name, RegValue value) {
    for (auto& entry : key.values) {
        if (text::equalsIgnoreCase(entry.first, name)) {
            entry.second = std::move(value);
            return;
        }
    }
    key.values.emplace_back(name, std::move(value));
}

std::string rootName(RegRoot root) {
    return root == RegRoot::ClassesRoot ? "HKEY_CLASSES_ROOT" : "HKEY_LOCAL_MACHINE";
}

} // namespace platform::sim
