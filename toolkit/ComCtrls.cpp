#include "toolkit/ComCtrls.h"

#include <commctrl.h>

#include <stdexcept>

namespace yar {

void UseCommonControls(DWORD classes) {
    INITCOMMONCONTROLSEX init{sizeof init, classes};
    if (!InitCommonControlsEx(&init)) throw std::runtime_error("Cannot load the common controls");
}

namespace {

const char* ProgressClass() {
    UseCommonControls(ICC_PROGRESS_CLASS);
    return PROGRESS_CLASSA;
}

} // namespace

TProgressBar::TProgressBar(TWinControl* parent, const TBounds& bounds)
    : TWinControl(parent, bounds, ProgressClass(), WS_VISIBLE) {
    SendMessageA(Handle(), PBM_SETSTEP, static_cast<WPARAM>(FStep), 0);
}

int TProgressBar::Min() const {
    return static_cast<int>(SendMessageA(Handle(), PBM_GETRANGE, TRUE, 0));
}

int TProgressBar::Max() const {
    return static_cast<int>(SendMessageA(Handle(), PBM_GETRANGE, FALSE, 0));
}

void TProgressBar::SetRange(int min, int max) {
    SendMessageA(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min), max);
}

int TProgressBar::Position() const {
    return static_cast<int>(SendMessageA(Handle(), PBM_GETPOS, 0, 0));
}

void TProgressBar::SetPosition(int position) {
    SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void TProgressBar::SetStep(int step) {
    FStep = step;
    SendMessageA(Handle(), PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

} // namespace yar
