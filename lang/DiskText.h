#pragma once
// Disk sizes and each drive's share of System Restore as the settings dialog words them, with the
// current language's units and decimal separator.
#include "config/DiskShare.h"
#include "lang/TextTable.h"

#include <cstdint>
#include <optional>
#include <string>

namespace lang {

// "4,8 Go" from one Go (2^30 bytes) up, "350 Mo" below: one decimal below 100, left out when it
// is 0, none from 100 up ("1024 Go").
std::string sizeText(std::uint64_t bytes, const TextTable& texts);

// "C:\ — au plus 4,8 Go (12 % de 40 Go), 1,2 Go utilisés par 14 points". Without a valid share or
// a known size the bound is left out; a store that could not be read is worded as unknown.
std::string driveShareLine(const config::DriveShare& drive, std::optional<std::int32_t> percent,
                           const TextTable& texts);

} // namespace lang
