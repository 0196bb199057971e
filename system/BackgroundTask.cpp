#include "system/BackgroundTask.h"

#include <stdexcept>
#include <utility>

namespace yar {

void TBackgroundTask::RunWork() noexcept {
    // An error is carried to the thread that waits, and raised there.
    try {
        FWork(FContext);
    } catch (const std::exception& e) {
        FError = e.what();
    } catch (...) {
        FError = "An error that is no std::exception";
    }
}

void TBackgroundTask::Wait() {
    Join();
    if (FError) throw std::runtime_error(*std::exchange(FError, std::nullopt));
}

} // namespace yar
