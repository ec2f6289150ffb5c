#pragma once
// Failures of the platform are exceptions whose text is what the user reads in the error
// window: they name the file, the value or the number that went wrong.
#include <stdexcept>
#include <string>

namespace platform {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& text) : std::runtime_error(text) {}
};

// A value that does not convert to an integer, worded like the conversion error users know.
Error notAnInteger(const std::string& value);

} // namespace platform
