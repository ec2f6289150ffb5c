#include "platform/Error.h"

namespace platform {

Error notAnInteger(const std::string& value) {
    return Error(ErrorKind::NotAnInteger, "'" + value + "' is not a valid integer value", "'" + value + "'");
}

Error registryWriteFailed(const std::string& name) {
    return Error(ErrorKind::RegistryWrite, "Failed to set data for '" + name + "'", "'" + name + "'");
}

Error invalidRegistryType(const std::string& name) {
    return Error(ErrorKind::RegistryType, "Invalid data type for '" + name + "'", "'" + name + "'");
}

Error unableToWrite(const std::string& path) {
    return Error(ErrorKind::FileWrite, "Unable to write to " + path, path);
}

Error automationFailed(const std::string& text, const std::string& detail) {
    return Error(ErrorKind::Automation, text, detail);
}

Error invalidDateTime(const std::string& value) {
    return Error(ErrorKind::DateTime, "Invalid date-time value: " + value, value);
}

} // namespace platform
