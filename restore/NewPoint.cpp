#include "restore/NewPoint.h"

#include "platform/Text.h"

#include <algorithm>

namespace restore {

platform::RestorePointInfoA creationRequest(const std::string& title) {
    platform::RestorePointInfoA info;
    info.eventType = beginSystemChange;
    info.restorePointType = checkpoint;
    info.sequenceNumber = 0;
    const std::string bytes = platform::text::toCp1252(title);
    const std::size_t length = std::min(bytes.size(), info.description.size() - 1);
    std::copy_n(bytes.begin(), length, info.description.begin());
    return info;
}

std::size_t titleLength(const std::string& title) {
    // Continuation bytes do not start a character.
    return static_cast<std::size_t>(std::count_if(
        title.begin(), title.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool createPoint(platform::SystemRestore& service, const std::string& title,
                 platform::StateMgrStatus* status) {
    platform::StateMgrStatus filled;
    const bool accepted = service.SRSetRestorePointA(creationRequest(title), filled);
    if (status)
        *status = filled;
    return accepted;
}

} // namespace restore
