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

bool createPoint(platform::SystemRestore& service, const std::string& title) {
    platform::StateMgrStatus status;
    return service.SRSetRestorePointA(creationRequest(title), status);
}

} // namespace restore
