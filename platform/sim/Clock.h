#pragma once
// The machine's clock. In the program it is real; in tests it is virtual and moves only when the
// program sleeps (or the test advances it), so timed actions happen in no real time.
#include <cstdint>

namespace platform::sim {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() = 0;
    virtual void sleep(std::uint32_t milliseconds) = 0;
    // Seconds since the Unix epoch, for the wall-clock time of new restore points.
    virtual std::int64_t unixSeconds() = 0;
};

class RealClock : public Clock {
public:
    std::int64_t nowMs() override;
    void sleep(std::uint32_t milliseconds) override;
    std::int64_t unixSeconds() override;
};

class VirtualClock : public Clock {
public:
    explicit VirtualClock(std::int64_t startUnixSeconds = 1165000000) : startUnix_(startUnixSeconds) {}
    std::int64_t nowMs() override { return nowMs_; }
    void sleep(std::uint32_t milliseconds) override { nowMs_ += milliseconds; }
    std::int64_t unixSeconds() override { return startUnix_ + nowMs_ / 1000; }
    void advance(std::int64_t milliseconds) { nowMs_ += milliseconds; }
    std::int64_t slept() const { return nowMs_; }

private:
    std::int64_t startUnix_;
    std::int64_t nowMs_ = 0;
};

} // namespace platform::sim
