#include "lang/Language.h"

#include "lang/Keys.h"

namespace lang {

std::string Language::lookup(const std::string& key, const std::string& frenchDefault) const {
    const std::string section = name();
    if (section.empty())
        return frenchDefault;
    return file_.readString(section, key, frenchDefault);
}

std::string Language::errorText(const std::exception& error) const {
    const auto* failure = dynamic_cast<const platform::Error*>(&error);
    const char* key = failure ? keys::errorKey(failure->kind()) : nullptr;
    if (!key)
        return error.what();
    const std::string sentence = lookup(key, keys::atUseDefault(key));
    return failure->detail().empty() ? sentence : sentence + " " + failure->detail();
}

void Language::loadDatePattern(bool withSeparator) {
    date_.format = lookup("Date", "dd/MM/yyyy");
    if (withSeparator) {
        // An empty separator keeps the usual one: a date needs something between its fields.
        const std::string first = firstCharacter(lookup("Séparateur", "/"));
        date_.separator = first.empty() ? "/" : first;
    }
}

void Language::loadTable() {
    for (const auto& entry : keys::table)
        table_.set(entry.key, lookup(entry.key, entry.frenchDefault));
}

std::string firstCharacter(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const auto lead = static_cast<unsigned char>(utf8[0]);
    size_t length = 1;
    if (lead >= 0xF0)
        length = 4;
    else if (lead >= 0xE0)
        length = 3;
    else if (lead >= 0xC0)
        length = 2;
    // A cut or broken sequence ends at the first byte that does not continue it, so a separator
    // never swallows a line break or the next character.
    size_t taken = 1;
    while (taken < length && taken < utf8.size() && (static_cast<unsigned char>(utf8[taken]) & 0xC0) == 0x80)
        ++taken;
    return utf8.substr(0, taken);
}

std::string fill(const std::string& text, std::initializer_list<std::string> values) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const auto n = static_cast<std::size_t>(next - '0');
        if (text[i] == '%' && next >= '1' && next <= '9' && n <= values.size()) {
            out += values.begin()[n - 1];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace lang
