#pragma once
// What a fuzz target reports besides crashes: data changed by a round trip. Aborting makes
// libFuzzer keep the input as a crash, like any other finding.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzz {

[[noreturn]] inline void finding(const std::string& what) {
    std::fprintf(stderr, "FINDING: %s\n", what.c_str());
    std::abort();
}

inline void expectSame(std::string_view what, const std::string& expected, const std::string& actual) {
    if (expected != actual)
        finding(std::string(what) + " changed the data:\n  expected [" + expected + "]\n  actual   [" +
                actual + "]");
}

// The input cut at its first line end, and what follows it: targets that need two texts take them so.
inline std::pair<std::string_view, std::string_view> firstLine(std::string_view input) {
    const auto end = input.find('\n');
    if (end == std::string_view::npos)
        return {input, {}};
    return {input.substr(0, end), input.substr(end + 1)};
}

} // namespace fuzz
