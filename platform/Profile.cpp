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

namespace platform {

HeldWrites::~HeldWrites() {
    if (done_)
        return;
    try {
        file_.profile().flush(file_.fileName());
    } catch (...) { // NOLINT(bugprone-empty-catch)
        // Leaving by another error already: that one is what the user reads.
    }
}

void HeldWrites::commit() {
    done_ = true;
    file_.profile().flush(file_.fileName());
}

} // namespace platform
