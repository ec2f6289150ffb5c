#pragma once
// JSON text for the command line's --json output: just what it writes, no parser.
#include <cstdint>
#include <string>
#include <string_view>

namespace cli::json {

// A JSON string: quoted, with quote, backslash and control characters escaped; other UTF-8 bytes
// pass as they are.
std::string quoted(std::string_view utf8);

// "2006-09-11T09:35:12+02:00": a local time and its offset from UTC in minutes.
std::string isoTime(int year, int month, int day, int hour, int minute, int second, int offsetMinutes);

} // namespace cli::json
