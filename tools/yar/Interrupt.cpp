#include "tools/yar/Interrupt.h"

#include <atomic>
#include <csignal>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace yar::tool {
namespace {
std::atomic<int> Requested{0};
static_assert(std::atomic<int>::is_always_lock_free);

#ifdef _WIN32
BOOL WINAPI OnConsoleControl(DWORD) {
    RequestStop(SIGINT);
    return TRUE;
}
#else
void OnSignal(int signal) {
    RequestStop(signal);
}
#endif
} // namespace

void InstallStopHandlers() {
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
#else
    // No SA_RESTART: a prompt waiting for a line returns at once.
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
}

void RequestStop(int signal) {
    Requested.store(signal);
}

void ClearStopRequest() {
    Requested.store(0);
}

void ThrowIfStopRequested() {
    if (Requested.load() != 0) throw EInterrupted();
}

void EndByStopSignal() {
    const int signal = Requested.load() != 0 ? Requested.load() : SIGINT;
#ifndef _WIN32
    std::signal(signal, SIG_DFL);
    std::raise(signal);
#endif
    std::exit(128 + signal);
}

} // namespace yar::tool
