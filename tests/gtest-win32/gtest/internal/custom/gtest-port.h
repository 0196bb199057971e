// GoogleTest's own port hooks for the Windows builds. Their thread model (win32) has no
// std::condition_variable, on which GoogleTest builds the notification that starts its helper threads
// (used by its own thread tests, never by ours), so the notification here waits on an atomic flag.
#pragma once

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { FNotified.store(true, std::memory_order_release); }
    void WaitForNotification() const {
        while (!FNotified.load(std::memory_order_acquire)) {
        }
    }

private:
    std::atomic<bool> FNotified{false};
};

} // namespace testing::internal
