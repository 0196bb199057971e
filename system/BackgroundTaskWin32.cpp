#include "system/BackgroundTask.h"

#include <windows.h>

namespace yar {

struct TBackgroundTask::TThread {
    HANDLE Handle = nullptr;

    static DWORD WINAPI Run(void* task) {
        static_cast<TBackgroundTask*>(task)->RunWork();
        return 0;
    }
};

TBackgroundTask::TBackgroundTask(void (*work)(void* context), void* context)
    : FWork(work), FContext(context), FThread(std::make_unique<TThread>()) {
    FThread->Handle = CreateThread(nullptr, 0, TThread::Run, this, 0, nullptr);
    if (FThread->Handle == nullptr) RunWork();
}

TBackgroundTask::~TBackgroundTask() {
    Join();
}

void TBackgroundTask::Join() {
    if (FThread->Handle == nullptr) return;
    WaitForSingleObject(FThread->Handle, INFINITE);
    CloseHandle(FThread->Handle);
    FThread->Handle = nullptr;
}

} // namespace yar
