#pragma once
// The edge between the program's UTF-8 text and the ANSI Windows functions, which read and give
// text in the system's ANSI code page (Windows-1252 on Western systems, 1250, 1251, 1253, 932…
// elsewhere).
#include <string>

namespace platform::win32 {

std::string ansi(const std::string& utf8);
std::string utf8(const std::string& ansiBytes);

// The system's text for an error code, without its line end, e.g. "Access is denied".
std::string systemMessage(unsigned long code);

// Loads a library from the system folder only, never from the program's or the current folder
// (where a planted copy would run with the program's rights); nullptr when it is not there.
void* loadSystemLibrary(const char* name);

} // namespace platform::win32
