#include "system/BackgroundTask.h"

#include <system_error>
#include <thread>

namespace yar {

struct TBackgroundTask::TThread {
    std::thread Thread;
};

TBackgroundTask::TBackgroundTask(void (*work)(void* context), void* context)
    : FWork(work), FContext(context), FThread(std::make_unique<TThread>()) {
    try {
        FThread->Thread = std::thread([this] { RunWork(); });
    } catch (const std::system_error&) {
        RunWork();
    }
}

TBackgroundTask::~TBackgroundTask() {
    Join();
}

void TBackgroundTask::Join() {
    if (FThread->Thread.joinable()) FThread->Thread.join();
}

} // namespace yar
