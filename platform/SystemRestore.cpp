#include "platform/SystemRestore.h"

#include "platform/Error.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstring>

namespace platform {

std::string WmiValue::asText() const {
    if (const auto* n = std::get_if<long long>(&v_))
        return std::to_string(*n);
    if (const auto* s = std::get_if<std::string>(&v_))
        return *s;
    return {};
}

long long WmiValue::asInteger() const {
    if (const auto* n = std::get_if<long long>(&v_))
        return *n;
    return text::toInteger(asText()); // a null value converts like the empty text: it fails
}

namespace {

template <typename T> void putLittleEndian(std::uint8_t* out, T value) {
    for (std::size_t i = 0; i < sizeof(T); ++i)
        out[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
}

template <typename T> T getLittleEndian(const std::uint8_t* in) {
    std::uint64_t value = 0;
    for (std::size_t i = sizeof(T); i-- > 0;)
        value = (value << 8) | in[i];
    return static_cast<T>(value);
}

constexpr std::size_t kEventTypeAt = 0;
constexpr std::size_t kPointTypeAt = 4;
constexpr std::size_t kSequenceAt = 8;
constexpr std::size_t kDescriptionAt = 16;

} // namespace

std::array<std::uint8_t, 80> RestorePointInfoA::bytes() const {
    std::array<std::uint8_t, 80> raw{};
    putLittleEndian(raw.data() + kEventTypeAt, eventType);
    putLittleEndian(raw.data() + kPointTypeAt, restorePointType);
    putLittleEndian(raw.data() + kSequenceAt, sequenceNumber);
    std::memcpy(raw.data() + kDescriptionAt, description.data(), description.size());
    return raw;
}

RestorePointInfoA RestorePointInfoA::fromBytes(const std::array<std::uint8_t, 80>& raw) {
    RestorePointInfoA info;
    info.eventType = getLittleEndian<std::uint32_t>(raw.data() + kEventTypeAt);
    info.restorePointType = getLittleEndian<std::uint32_t>(raw.data() + kPointTypeAt);
    info.sequenceNumber = getLittleEndian<std::int64_t>(raw.data() + kSequenceAt);
    std::memcpy(info.description.data(), raw.data() + kDescriptionAt, info.description.size());
    return info;
}

std::string RestorePointInfoA::descriptionBytes() const {
    const auto end = std::find(description.begin(), description.end(), '\0');
    return std::string(description.begin(), end);
}

} // namespace platform
