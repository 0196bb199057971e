// One piece of work on a thread of its own beside the caller's: started when made, waited for by Wait
// or, at the latest, when the object goes. The Windows programs' thread model has no std::thread: there
// it is a Win32 thread; elsewhere a std::thread.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace yar {

class TBackgroundTask {
public:
    // Starts work(context) at once. Where the system gives no thread, it runs here before the object is
    // made.
    TBackgroundTask(void (*work)(void* context), void* context);
    // Waits for the work; an error it raised and nobody waited for goes with it.
    ~TBackgroundTask();
    TBackgroundTask(const TBackgroundTask&) = delete;
    TBackgroundTask& operator=(const TBackgroundTask&) = delete;

    // Waits for the work to end; an error it raised is raised here, once, as a std::runtime_error of
    // the same message.
    void Wait();

private:
    struct TThread; // the platform's thread
    // What the thread runs: the work, keeping the message of the error it ends with.
    void RunWork() noexcept;
    void Join();

    void (*FWork)(void* context);
    void* FContext;
    std::optional<std::string> FError;
    std::unique_ptr<TThread> FThread;
};

} // namespace yar
