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

// How to end one box: the command id PressId is pressed (IDCANCEL stands for Escape), then After
// runs while the press is on its way: a file it puts in place is there when the box has ended, and
// messages it posts arrive after the box has ended.
struct TBoxAnswer {
    int PressId = IDOK;
    std::function<void()> After;
};

// Runs action; every dialog box of this thread that appears meanwhile is recorded, in order, and
// ended with the next answer. Boxes beyond the answers are recorded too and ended with Escape, so
// that a run that asks more than expected ends and the test sees what was asked.
std::vector<TSeenBox> WatchBoxes(std::vector<TBoxAnswer> answers, const std::function<void()>& action);

// Runs action; the first dialog box of this thread that appears meanwhile is recorded and ended
// with the command id pressId (IDCANCEL stands for Escape).
TSeenBox WatchBox(int pressId, const std::function<void()>& action);

} // namespace yar::test
