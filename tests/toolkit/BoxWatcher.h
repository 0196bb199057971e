// Looks at the dialog box a call shows, from inside the test's own thread: a thread timer fires in
// the box's modal loop, records the box and presses one of its buttons.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace yar::test {

struct TSeenButton {
    std::string Caption;
    int Id;
};

struct TSeenBox {
    bool Shown = false;
    std::string ClassName;
    std::string Caption;
    std::string Text;                 // the static with id 0xFFFF
    std::vector<TSeenButton> Buttons; // left to right
    bool HasIcon = false;
};

// Runs action; the first dialog box of this thread that appears meanwhile is recorded and ended
// with the command id pressId (IDCANCEL stands for Escape).
TSeenBox WatchBox(int pressId, const std::function<void()>& action);

} // namespace yar::test
