#pragma once
// The edge between the program's UTF-8 text and the ANSI (Windows-1252) Windows functions.
#include "platform/Text.h"

#include <string>

namespace platform::win32 {

inline std::string ansi(const std::string& utf8) {
    return text::toCp1252(utf8);
}

inline std::string utf8(const std::string& ansiBytes) {
    return text::fromCp1252(ansiBytes);
}

// The system's text for an error code, without its line end, e.g. "Access is denied".
std::string systemMessage(unsigned long code);

} // namespace platform::win32
