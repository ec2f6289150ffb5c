#include "config/MultiString.h"

#include "platform/Error.h"
#include "platform/Text.h"

namespace config {

std::vector<std::string> multiStringLines(const std::string& bytes,
                                          const platform::text::AnsiCodePage& codePage) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
        if (bytes[i] == '\0') {
            lines.push_back(codePage.decode(line));
            line.clear();
        } else {
            line += bytes[i];
        }
    }
    return lines;
}

std::string multiStringBytes(const std::vector<std::string>& lines,
                             const platform::text::AnsiCodePage& codePage) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += codePage.encode(line);
        bytes += '\0';
    }
    bytes += '\0';
    return bytes;
}

std::vector<std::string> readLines(const platform::RegistryKey& key, const std::string& name) {
    const auto value = key.read(name);
    if (!value || value->data.empty())
        return {};
    using platform::RegType;
    if (value->type == RegType::Sz || value->type == RegType::ExpandSz || value->type == RegType::Dword)
        throw platform::invalidRegistryType(name);
    return multiStringLines(value->data, key.codePage());
}

} // namespace config
