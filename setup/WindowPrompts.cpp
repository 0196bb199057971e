#include "setup/WindowPrompts.h"

#include "system/TimeSlice.h"
#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"
#include "util/RunLog.h"

namespace yar {

TWindowPrompts::TWindowPrompts(TWinControl& owner) : FOwner(owner.Handle()) {}

bool TWindowPrompts::ErrorOkCancel(const std::string& Text) {
    const bool ok = !FAskNothing && MessageDlg(Text, mtError, {mbOK, mbCancel}) == mrOk;
    Log("Message: " + Text + " - answer: " + (ok ? "OK" : "Cancel"));
    return ok;
}

bool TWindowPrompts::InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value) {
    const bool ok = !FAskNothing && yar::InputQuery(Caption, Prompt, Value);
    Log("Question: " + Caption + " - " + (ok ? "answered" : "cancelled"));
    return ok;
}

void TWindowPrompts::Log(const std::string& event) const {
    if (FLog) FLog->Write(event);
}

void TWindowPrompts::PushArrowCursor() {
    FCursors.push_back(SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW))));
}

void TWindowPrompts::PopCursor() {
    if (FCursors.empty()) return;
    SetCursor(FCursors.back());
    FCursors.pop_back();
}

void TWindowPrompts::RepaintOwner() {
    if (!FOwner || !IsWindow(FOwner)) return;
    InvalidateRect(FOwner, nullptr, TRUE);
    UpdateWindow(FOwner);
}

void TWindowPrompts::ProcessMessages() {
    // The segment reader asks after every 8 KiB it reads: served at a pace the eye cannot tell apart.
    if (FServePace.Due(MillisecondClock())) Application().ProcessMessages();
}

} // namespace yar
