#pragma once
// The edge between the program's UTF-8 text and the ANSI Windows functions, which read and give
// text in the system's ANSI code page (Windows-1252 on Western systems, 1250, 1251, 1253, 932…
// elsewhere).
#include "platform/Text.h"

#include <string>

namespace platform::win32 {

// Code page 0 is the system's ANSI one. Characters the code page lacks become "?", never a
// look-alike ("\uFF0E" is no "."), so a name checked in these bytes is the name used.
std::string ansi(const std::string& utf8, unsigned codePage = 0);
std::string utf8(const std::string& ansiBytes, unsigned codePage = 0);

class Win32CodePage : public text::AnsiCodePage {
public:
    explicit Win32CodePage(unsigned codePage = 0) : codePage_(codePage) {}
    std::string encode(std::string_view utf8Text) const override {
        return ansi(std::string(utf8Text), codePage_);
    }
    std::string decode(std::string_view bytes) const override { return utf8(std::string(bytes), codePage_); }

private:
    unsigned codePage_;
};

// The system's ANSI code page, for the platform services that hand text to an A function.
const Win32CodePage& systemCodePage();

// The system's text for an error code, without its line end, e.g. "Access is denied".
std::string systemMessage(unsigned long code);

// The system folder ("C:\\WINDOWS\\system32"), ANSI, without a trailing backslash; empty when the
// system cannot tell.
std::string systemFolder();

// Loads a library from the system folder only, never from the program's or the current folder
// (where a planted copy would run with the program's rights); nullptr when it is not there.
void* loadSystemLibrary(const char* name);

} // namespace platform::win32
