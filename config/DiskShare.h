#pragma once
// The share of each drive that System Restore may fill (DiskPercent, beside the two timings), and
// what each watched drive holds against it.
#include "platform/Registry.h"
#include "platform/SystemRestore.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace config {

// What the service itself assumes when the value is missing.
inline constexpr std::int32_t defaultDiskPercent = 12;

// A whole number from 1 to 100, in the dialog's number form; anything else gives nothing.
std::optional<std::int32_t> parsePercent(std::string_view text);

// The stored share; the default when the value is missing or the key cannot be opened. A value of
// another type than a number throws the registry layer's invalid-type error.
std::int32_t readDiskPercent(platform::Registry& registry);
// Throws platform::Error when the key cannot be opened or the write is refused.
void writeDiskPercent(platform::Registry& registry, std::int32_t percent);

struct DriveShare {
    std::string root; // "C:\"
    std::optional<std::uint64_t> totalBytes;
    std::optional<platform::StoreUsage> used; // nothing when the store could not be read
};

// Every drive the service watches (or may watch, when the platform cannot tell), in letter order.
std::vector<DriveShare> driveShares(platform::SystemRestore& service);

// The most the service may take of `totalBytes` at `percent`.
std::uint64_t capBytes(std::uint64_t totalBytes, std::int32_t percent);

} // namespace config
