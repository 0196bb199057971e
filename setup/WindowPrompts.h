// The archive code's prompts in the Windows program: message boxes and the input box of the
// toolkit, the arrow pointer while they wait, and the owner window repainted after them.
#pragma once

#include "archive/UserPrompts.h"
#include "util/Pacer.h"

#include <windows.h>

#include <vector>

namespace yar {

class TWinControl;
class TRunLog;

class TWindowPrompts : public TUserPrompts {
public:
    // owner: the window the dialogs cover; may be null (nothing to repaint then).
    explicit TWindowPrompts(HWND owner) : FOwner(owner) {}
    explicit TWindowPrompts(TWinControl& owner);

    bool ErrorOkCancel(const std::string& Text) override;
    bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value) override;
    void PushArrowCursor() override;
    void PopCursor() override;
    void RepaintOwner() override;
    void ProcessMessages() override;

    // Each question and its answer go to the log (never a value typed into the input box); with
    // askNothing no box is shown and every question is answered Cancel.
    void SetUnattended(TRunLog* log, bool askNothing) {
        FLog = log;
        FAskNothing = askNothing;
    }

    HWND Owner() const { return FOwner; }
    // How many pointers are remembered now.
    size_t CursorDepth() const { return FCursors.size(); }

private:
    void Log(const std::string& event) const;

    HWND FOwner;
    std::vector<HCURSOR> FCursors;
    TRunLog* FLog = nullptr;
    bool FAskNothing = false;
    TPacer FServePace;
};

} // namespace yar
