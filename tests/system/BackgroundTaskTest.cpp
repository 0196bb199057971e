// The background task on the platform's threads: natively a std::thread, under Wine a Win32 thread.
#include "system/BackgroundTask.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>

namespace yar {
namespace {

using std::chrono::steady_clock;

// Waits, without a thread service, until flag is set or the time is up; whether it was set.
bool AwaitFlag(const std::atomic<bool>& flag, std::chrono::milliseconds limit) {
    const auto until = steady_clock::now() + limit;
    while (!flag && steady_clock::now() < until) {
    }
    return flag;
}

struct TFlags {
    std::atomic<bool> CallerWent = false, WorkSawCaller = false, WorkDone = false;
};

TEST(BackgroundTask, TheWorkRunsBesideTheCallerAndEndsBeforeWaitReturns) {
    TFlags flags;
    TBackgroundTask task(
        [](void* context) {
            auto& f = *static_cast<TFlags*>(context);
            // Run inline, the work would wait here for a caller that has not got its task yet.
            f.WorkSawCaller = AwaitFlag(f.CallerWent, std::chrono::seconds(5));
            f.WorkDone = true;
        },
        &flags);
    flags.CallerWent = true;
    task.Wait();
    EXPECT_TRUE(flags.WorkSawCaller);
    EXPECT_TRUE(flags.WorkDone);
}

TEST(BackgroundTask, AnErrorOfTheWorkIsRaisedByWaitOnceAndTheEndWaitsForTheWork) {
    TBackgroundTask failing([](void*) { throw std::runtime_error("the work failed"); }, nullptr);
    try {
        failing.Wait();
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "the work failed");
    }
    EXPECT_NO_THROW(failing.Wait());

    TFlags flags;
    {
        const TBackgroundTask slow(
            [](void* context) {
                auto& f = *static_cast<TFlags*>(context);
                AwaitFlag(f.CallerWent, std::chrono::milliseconds(50)); // never set: the full time
                f.WorkDone = true;
            },
            &flags);
    }
    EXPECT_TRUE(flags.WorkDone);
}

} // namespace
} // namespace yar
