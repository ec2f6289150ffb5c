#pragma once
// Multi-string registry data as the exclusion lists editor reads and writes it: strings in the
// system's ANSI code page, each ended by a zero byte, then one more zero byte.
#include "platform/Registry.h"

#include <string>
#include <vector>

namespace config {

// The lines of raw data: every byte but the last is walked; a zero byte ends a line (an empty one
// too) and the characters after the last zero byte walked are dropped.
std::vector<std::string>
multiStringLines(const std::string& bytes,
                 const platform::text::AnsiCodePage& codePage = platform::text::windows1252());

// Each line and a zero byte, then one more zero byte; no lines give the single zero byte.
std::string multiStringBytes(const std::vector<std::string>& lines,
                             const platform::text::AnsiCodePage& codePage = platform::text::windows1252());

// The lines of a value of the key; none when it is missing or empty. Multi-string, binary and
// unclassified values are read; a text or number value throws "Invalid data type for '<name>'".
std::vector<std::string> readLines(const platform::RegistryKey& key, const std::string& name);

} // namespace config
