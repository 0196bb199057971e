// The small tool window the toolkit's tests put their controls on.
#pragma once

#include "toolkit/Application.h"
#include "toolkit/Forms.h"

#include <string>

namespace yar::test {

// 200 x 100 client pixels, centred on the screen.
inline TFormDesign SmallForm(const std::string& caption) {
    TFormDesign design;
    design.Caption = caption;
    design.BorderStyle = bsToolWindow;
    design.ClientWidth = 200;
    design.ClientHeight = 100;
    design.ScreenCenter = true;
    return design;
}

// Shows the form and waits until it is the active window. The activation arrives from the window
// system later, on a busy machine after the test has set the focus, and would give the focus back to
// the control that had it before.
inline void ShowActive(TForm& form) {
    form.Show();
    SetForegroundWindow(form.Handle());
    for (int i = 0; i < 200 && GetActiveWindow() != form.Handle(); ++i) {
        Application().ProcessMessages();
        Sleep(10);
    }
    Application().ProcessMessages();
}

} // namespace yar::test
