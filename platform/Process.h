#pragma once
#include <cstdint>

namespace platform {

class Process {
public:
    virtual ~Process() = default;
    // Blocks the calling thread; machine actions that fall due meanwhile happen.
    virtual void sleep(std::uint32_t milliseconds) = 0;
    // Milliseconds on the machine's clock (real in the program, virtual in tests).
    virtual std::int64_t nowMs() = 0;
    // The machine's wall-clock time: seconds since 1970-01-01 00:00:00 UTC.
    virtual std::int64_t unixSeconds() = 0;
    // Hands idle memory pages back to the system; failures are ignored.
    virtual void trimWorkingSet() = 0;
};

} // namespace platform
