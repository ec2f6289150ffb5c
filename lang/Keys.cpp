#include "lang/Keys.h"

#include <cstring>

namespace lang::keys {

const char* atUseDefault(const char* key) {
    for (const auto& k : atUse)
        if (std::strcmp(k.key, key) == 0)
            return k.frenchDefault;
    return "";
}

} // namespace lang::keys
