#include "platform/Error.h"

namespace platform {

Error notAnInteger(const std::string& value) {
    return Error("'" + value + "' is not a valid integer value");
}

} // namespace platform
