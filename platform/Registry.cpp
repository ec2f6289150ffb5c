#include "platform/Registry.h"

#include "platform/Error.h"
#include "platform/Text.h"

namespace platform::reg {

namespace {

Error invalidType(const std::string& name) {
    return invalidRegistryType(name);
}

bool isString(RegType type) {
    return type == RegType::Sz || type == RegType::ExpandSz;
}

} // namespace

std::string readString(const RegistryKey& key, const std::string& name) {
    const std::optional<RegValue> value = key.read(name);
    if (!value)
        return "";
    if (!isString(value->type))
        throw invalidType(name);
    // The text ends at the first zero, wherever the writer put it.
    const std::string& data = value->data;
    return key.codePage().decode(data.substr(0, data.find('\0')));
}

std::uint32_t readInteger(const RegistryKey& key, const std::string& name) {
    const std::optional<RegValue> value = key.read(name);
    if (!value || value->type != RegType::Dword || value->data.size() != 4)
        throw invalidType(name);
    std::uint32_t result = 0;
    for (int i = 3; i >= 0; --i)
        result = (result << 8) | static_cast<unsigned char>(value->data[static_cast<std::size_t>(i)]);
    return result;
}

std::vector<std::string> readMultiString(const RegistryKey& key, const std::string& name) {
    const std::optional<RegValue> value = key.read(name);
    std::vector<std::string> result;
    if (!value)
        return result;
    if (value->type != RegType::MultiSz)
        throw invalidType(name);
    // Strings end with a zero; an empty string ends the list. A last string missing its zero is
    // still taken, as writers do not always add it.
    const std::string& data = value->data;
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find('\0', start);
        if (end == std::string::npos)
            end = data.size();
        if (end == start)
            break;
        result.push_back(key.codePage().decode(std::string_view(data).substr(start, end - start)));
        start = end + 1;
    }
    return result;
}

void writeString(RegistryKey& key, const std::string& name, const std::string& value) {
    key.write(name, sz(value, key.codePage()));
}

void writeInteger(RegistryKey& key, const std::string& name, std::uint32_t value) {
    key.write(name, dword(value));
}

void writeMultiString(RegistryKey& key, const std::string& name, const std::vector<std::string>& values) {
    key.write(name, multiSz(values, key.codePage()));
}

RegValue dword(std::uint32_t value) {
    RegValue result{RegType::Dword, std::string(4, '\0')};
    for (std::size_t i = 0; i < 4; ++i)
        result.data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return result;
}

RegValue sz(const std::string& utf8, const text::AnsiCodePage& codePage) {
    return {RegType::Sz, codePage.encode(utf8) + '\0'};
}

// An empty string cannot stand inside the list (it would end it), so empty entries are left out.
RegValue multiSz(const std::vector<std::string>& utf8, const text::AnsiCodePage& codePage) {
    RegValue result{RegType::MultiSz, {}};
    for (const std::string& s : utf8) {
        if (s.empty())
            continue;
        result.data += codePage.encode(s);
        result.data += '\0';
    }
    result.data += '\0';
    return result;
}

} // namespace platform::reg
