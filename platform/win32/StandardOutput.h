#pragma once
// Where the command line writes on Windows: the standard handles the program was given (a file, a
// pipe, a device such as NUL, its console) or else the console of the cmd that started it.
#include "cli/CommandLine.h"

#include <functional>
#include <string>

namespace platform::win32 {

// The most UTF-16 units one console write carries: XP's console refuses a write larger than its
// 64 KB heap holds, and then prints nothing.
inline constexpr std::size_t consolePiece = 8192;

// Hands `text` to `write` in pieces of at most consolePiece units, never between the two halves
// of a surrogate pair, going on after a partial write. `write` takes a piece and its length and
// returns how many units it wrote, 0 for a failure; false when a write fails.
bool writeInPieces(const std::wstring& text,
                   const std::function<unsigned long(const wchar_t*, unsigned long)>& write);

class StandardOutput : public cli::Console {
public:
    StandardOutput();
    bool out(const std::string& text) override { return write(out_, text); }
    bool err(const std::string& text) override { return write(err_, text); }

private:
    static bool write(void* handle, const std::string& text);

    void* out_;
    void* err_;
};

} // namespace platform::win32
