#include "setup/WindowPrompts.h"

#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"

namespace yar {

TWindowPrompts::TWindowPrompts(TWinControl& owner) : FOwner(owner.Handle()) {}

bool TWindowPrompts::ErrorOkCancel(const std::string& Text) {
    return MessageDlg(Text, mtError, {mbOK, mbCancel}) == mrOk;
}

bool TWindowPrompts::InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value) {
    return yar::InputQuery(Caption, Prompt, Value);
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
    Application().ProcessMessages();
}

} // namespace yar
