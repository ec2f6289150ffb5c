#include "restore/NewPoint.h"

#include "platform/Text.h"

#include <algorithm>

namespace restore {

platform::RestorePointInfoA creationRequest(const std::string& title,
                                            const platform::text::AnsiCodePage& codePage) {
    platform::RestorePointInfoA info;
    info.eventType = beginSystemChange;
    info.restorePointType = checkpoint;
    info.sequenceNumber = 0;
    // Whole characters only: the last ones go until the rest fits before the closing zero.
    std::string kept = title;
    std::string bytes = codePage.encode(kept);
    while (bytes.size() > info.description.size() - 1) {
        while (!kept.empty() && (static_cast<unsigned char>(kept.back()) & 0xC0) == 0x80)
            kept.pop_back(); // the continuation bytes of the last character
        if (!kept.empty())
            kept.pop_back();
        bytes = codePage.encode(kept);
    }
    std::copy(bytes.begin(), bytes.end(), info.description.begin());
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
    const bool accepted = service.SRSetRestorePointA(creationRequest(title, service.codePage()), filled);
    if (status)
        *status = filled;
    return accepted;
}

} // namespace restore
