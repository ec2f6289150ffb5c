#pragma once
// The two timing settings of System Restore: the lifetime of restore points (stored in seconds,
// shown in days) and the interval between automatic points (stored in seconds, shown in hours).
#include "platform/Registry.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace config {

inline constexpr const char* systemRestoreKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SystemRestore";
inline constexpr std::int32_t secondsPerDay = 86400;
inline constexpr std::int32_t secondsPerHour = 3600;

struct Timings {
    std::int32_t lifetimeDays = 0;
    std::int32_t intervalHours = 0;
};

// A signed 32-bit decimal number: optional leading blanks, an optional sign, at least one digit,
// nothing after. Anything else (hexadecimal forms included) or a number out of range gives nothing.
std::optional<std::int32_t> parseInteger(std::string_view text);

// count × unit when count is 0 or more and the product fits a signed 32-bit integer. System Restore
// reads the value unsigned: a negative count would read as about 136 years.
std::optional<std::int32_t> toSeconds(std::int32_t count, std::int32_t unit);

// The settings as whole days and hours (the remainder dropped); a missing value, or a key that
// cannot be opened with full access, gives 0.
// A value of another type than a number throws the registry layer's invalid-type error.
Timings readTimings(platform::Registry& registry);

// Writes both values in seconds, lifetime first, as 32-bit numbers. The caller has checked that
// toSeconds takes both. Throws platform::Error when the key
// cannot be opened or a write is refused.
void writeTimings(platform::Registry& registry, const Timings& timings);

} // namespace config
