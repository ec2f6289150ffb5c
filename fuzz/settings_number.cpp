// The settings dialog's signed 32-bit numbers, against a plain reading of the same rule: leading
// blanks, an optional sign, digits, nothing else, within range.
#include "Finding.h"
#include "config/RestoreSettings.h"

#include <cstdint>
#include <limits>
#include <optional>

namespace {

std::optional<std::int32_t> plainReading(std::string_view text) {
    const auto start = text.find_first_not_of(' ');
    if (start == std::string_view::npos)
        return std::nullopt;
    text.remove_prefix(start);
    const bool negative = text.front() == '-';
    if (text.front() == '-' || text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    const auto digits = text.find_first_not_of('0');
    text.remove_prefix(digits == std::string_view::npos ? text.size() : digits);
    if (text.size() > 10)
        return std::nullopt;
    const long long magnitude = text.empty() ? 0 : std::stoll(std::string(text));
    const long long value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::string shown(std::optional<std::int32_t> n) {
    return n ? std::to_string(*n) : "nothing";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto number = config::parseInteger(text);
    fuzz::expectSame("the number of '" + std::string(text) + "'", shown(plainReading(text)), shown(number));
    if (number) {
        fuzz::expectSame("a number written and read", shown(number),
                         shown(config::parseInteger(std::to_string(*number))));
        // The dialog stores days and hours as seconds: the product fits or is refused, never wraps,
        // and a negative number is refused.
        for (const std::int32_t unit : {config::secondsPerDay, config::secondsPerHour}) {
            const auto seconds = config::toSeconds(*number, unit);
            const long long exact = static_cast<long long>(*number) * unit;
            const bool fits = exact >= 0 && exact <= std::numeric_limits<std::int32_t>::max();
            fuzz::expectSame("the seconds of " + shown(number), fits ? std::to_string(exact) : "nothing",
                             shown(seconds));
        }
    }
    return 0;
}
