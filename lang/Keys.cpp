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
