#include "config/RestoreSettings.h"

#include "platform/Error.h"

#include <limits>

namespace config {

std::optional<std::int32_t> parseInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return std::nullopt;
    // Accumulated as a negative number, which also holds the lowest value.
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 - (c - '0');
        if (value < std::numeric_limits<std::int32_t>::min())
            return std::nullopt;
    }
    if (!negative) {
        value = -value;
        if (value > std::numeric_limits<std::int32_t>::max())
            return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> toSeconds(std::int32_t count, std::int32_t unit) {
    const std::int64_t product = static_cast<std::int64_t>(count) * unit;
    if (count < 0 || product > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(product);
}

Timings readTimings(platform::Registry& registry) {
    Timings timings;
    const auto key = registry.openFullAccess(platform::RegRoot::LocalMachine, systemRestoreKey);
    if (!key)
        return timings;
    if (key->valueExists("RPLifeInterval"))
        timings.lifetimeDays =
            static_cast<std::int32_t>(platform::reg::readInteger(*key, "RPLifeInterval")) / secondsPerDay;
    if (key->valueExists("RPGlobalInterval"))
        timings.intervalHours =
            static_cast<std::int32_t>(platform::reg::readInteger(*key, "RPGlobalInterval")) / secondsPerHour;
    return timings;
}

void writeTimings(platform::Registry& registry, const Timings& timings) {
    const auto key = registry.openFullAccess(platform::RegRoot::LocalMachine, systemRestoreKey);
    // Nowhere to write is a failed write, never a silent success.
    if (!key)
        throw platform::registryWriteFailed("RPLifeInterval");
    const auto seconds = [](std::int32_t count, std::int32_t unit) {
        return static_cast<std::uint32_t>(toSeconds(count, unit).value());
    };
    platform::reg::writeInteger(*key, "RPLifeInterval", seconds(timings.lifetimeDays, secondsPerDay));
    platform::reg::writeInteger(*key, "RPGlobalInterval", seconds(timings.intervalHours, secondsPerHour));
}

} // namespace config
