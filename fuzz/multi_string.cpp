// The exclusion editor's multi-string bytes: the lines read from any bytes, written and read again,
// are the same lines.
#include "Finding.h"
#include "config/MultiString.h"

#include <cstdint>

namespace {

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines)
        out += "<" + line + ">";
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = config::multiStringLines(bytes);
    const std::string written = config::multiStringBytes(lines);
    fuzz::expectSame("lines written and read", joined(lines), joined(config::multiStringLines(written)));
    if (written.empty() || written.back() != '\0' ||
        (written.size() > 1 && written[written.size() - 2] != '\0'))
        fuzz::finding("written lines not ended by two zero bytes");
    return 0;
}
