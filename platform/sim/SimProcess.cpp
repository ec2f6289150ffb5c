#include "platform/sim/Machine.h"
#include "platform/sim/Services.h"

#include <malloc.h>

namespace platform::sim {

void SimProcess::sleep(std::uint32_t milliseconds) {
    m_.clock().sleep(milliseconds);
    m_.runDueActions();
}

std::int64_t SimProcess::nowMs() {
    m_.runDueActions();
    return m_.clock().nowMs();
}

std::int64_t SimProcess::unixSeconds() {
    m_.runDueActions();
    return m_.clock().unixSeconds();
}

void SimProcess::trimWorkingSet() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace platform::sim
