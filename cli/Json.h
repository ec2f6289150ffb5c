#pragma once
// JSON text for the command line's --json output: just what it writes, no parser. Every command
// writes one JSON value with English keys that stay stable from one version to the next; the
// text is plain ASCII, so any code page and any reader decodes it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cli::json {

// A JSON string: quoted, with quote, backslash and control characters escaped and every character
// beyond ASCII written as \uXXXX (a surrogate pair beyond the BMP). A byte that is no part of valid
// UTF-8 becomes U+FFFD.
std::string quoted(std::string_view utf8);

// Values already written as JSON text.
std::string number(std::optional<long long> value); // null when unknown
std::string boolean(std::optional<bool> value);     // null when unknown
std::string array(const std::vector<std::string>& values);
// An object whose members keep the order given.
std::string object(const std::vector<std::pair<std::string, std::string>>& members);

// "2006-09-11T09:35:12+02:00": a local time and its offset from UTC in minutes.
std::string isoTime(int year, int month, int day, int hour, int minute, int second, int offsetMinutes);

} // namespace cli::json
