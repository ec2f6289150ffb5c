#pragma once
// GoogleTest's Notification is built on std::mutex, which the win32 thread model of MinGW's
// GCC 12 lacks. It only serves GoogleTest's own thread tests; this one waits by polling.
#include <windows.h>

namespace testing::internal {
class Notification {
public:
    void Notify() { notified_ = true; }
    void WaitForNotification() {
        while (!notified_)
            Sleep(1);
    }

private:
    volatile bool notified_ = false;
};
} // namespace testing::internal
