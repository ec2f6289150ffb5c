#include "platform/Profile.h"

#include "platform/Error.h"
#include "platform/Text.h"

#include <limits>

namespace platform {

int IniFile::readInteger(const std::string& section, const std::string& key, int def) const {
    const std::string value = readString(section, key, "");
    try {
        const long long number = text::toInteger(value);
        if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
            return def;
        return static_cast<int>(number);
    } catch (const Error&) {
        return def;
    }
}

} // namespace platform
