#pragma once
// Failures of the platform are exceptions whose text is what the user reads in the error
// window: they name the file, the value or the number that went wrong.
#include <stdexcept>
#include <string>

namespace platform {

// Failures the program words in the user's language; Other keeps the platform's own text.
enum class ErrorKind { Other, RegistryWrite, RegistryType, NotAnInteger, Automation, FileWrite, DateTime };

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& text) : std::runtime_error(text) {}
    // text is the whole message in English; detail is the system's part of it (the value name,
    // the path, the code), which follows the translated sentence.
    Error(ErrorKind kind, const std::string& text, std::string detail)
        : std::runtime_error(text), kind_(kind), detail_(std::move(detail)) {}
    ErrorKind kind() const noexcept { return kind_; }
    const std::string& detail() const noexcept { return detail_; }

private:
    ErrorKind kind_ = ErrorKind::Other;
    std::string detail_;
};

// A value that does not convert to an integer, worded like the conversion error users know.
Error notAnInteger(const std::string& value);
// "Failed to set data for '<name>'": the registry refused a write.
Error registryWriteFailed(const std::string& name);
// "Invalid data type for '<name>'": a value of another type than the one asked for.
Error invalidRegistryType(const std::string& name);
// "Unable to write to <path>".
Error unableToWrite(const std::string& path);
// System Restore's automation failed: what was asked and the system's code.
Error automationFailed(const std::string& text, const std::string& detail);
// A CIM date-time the system could not convert.
Error invalidDateTime(const std::string& value);

} // namespace platform
