#include "lang/Keys.h"

#include <cstring>

namespace lang::keys {

const char* atUseDefault(const char* key) {
    for (const auto& k : atUse)
        if (std::strcmp(k.key, key) == 0)
            return k.frenchDefault;
    return "";
}

const char* savedFilesDefault(const char* key) {
    for (const auto& k : savedFiles)
        if (std::strcmp(k.key, key) == 0)
            return k.frenchDefault;
    return "";
}

std::string withValues(std::string text, std::initializer_list<std::string> values) {
    std::size_t n = 1;
    for (const std::string& value : values) {
        const std::string mark = "%" + std::to_string(n++);
        if (const auto at = text.find(mark); at != std::string::npos)
            text.replace(at, mark.size(), value);
    }
    return text;
}

const char* errorKey(platform::ErrorKind kind) {
    using platform::ErrorKind;
    switch (kind) {
    case ErrorKind::RegistryWrite:
        return "ErreurRegistre";
    case ErrorKind::RegistryType:
        return "ErreurTypeRegistre";
    case ErrorKind::NotAnInteger:
        return "ErreurNombre";
    case ErrorKind::Automation:
        return "ErreurAutomation";
    case ErrorKind::FileWrite:
        return "ErreurFichier";
    case ErrorKind::DateTime:
        return "ErreurDate";
    case ErrorKind::Other:
        break;
    }
    return nullptr;
}

} // namespace lang::keys
