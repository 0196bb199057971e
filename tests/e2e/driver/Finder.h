// Finding windows and controls of other processes and reading them.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace yardrive {

// Which top-level windows a command means: visible ones with this exact caption, optionally only of
// one window class and one process.
struct WindowFilter {
    std::string Caption;
    std::string ClassName; // empty: any class
    DWORD Pid = 0;         // 0: any process
};

std::vector<HWND> TopWindows(const WindowFilter& filter);
// Every visible top-level window, for listing.
std::vector<HWND> AllTopWindows();
// Every descendant of parent, visible or not, in creation order.
std::vector<HWND> Descendants(HWND parent);

// A control below parent named by a decimal or 0x id, or by its text (with or without its "&" marks).
// Ids come first, so a button whose text is a number must be named by its id.
HWND FindControl(HWND parent, const std::string& what);

// Texts through WM_GETTEXT with a time limit, so a hung target cannot hang the caller.
std::string TextOf(HWND window);
std::string ClassOf(HWND window);
DWORD ProcessOf(HWND window);
// The control's own visibility flag, whatever its parents' state (a page not shown hides its children).
bool OwnVisible(HWND window);
// BST_CHECKED, BST_UNCHECKED or BST_INDETERMINATE; -1 when the control does not answer in time.
int CheckState(HWND button);

// Polls find every 50 ms until it gives a non-null result or seconds have passed; at least one try.
template <class F> auto Await(double seconds, F find) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        auto found = find();
        if (found || Clock::now() >= deadline) return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

} // namespace yardrive
