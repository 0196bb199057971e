// How the archive code reaches the user: the owner of a component supplies these calls (message
// boxes in the Windows program, a terminal prompt in the command-line tool, scripted answers in tests).
#pragma once

#include <string>

namespace yar {

class TUserPrompts {
public:
    virtual ~TUserPrompts() = default;
    TUserPrompts() = default;
    TUserPrompts(const TUserPrompts&) = delete;
    TUserPrompts& operator=(const TUserPrompts&) = delete;

    // A message box of the error kind with the buttons OK and Cancel; true when OK was pressed.
    virtual bool ErrorOkCancel(const std::string& Text) = 0;
    // An input dialog showing Value; true when confirmed, with Value holding the text as typed.
    virtual bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value) = 0;

    // The normal arrow pointer while a dialog waits; PopCursor brings back the remembered one.
    virtual void PushArrowCursor() {}
    virtual void PopCursor() {}
    // Repaints the owner window after a dialog closed over it.
    virtual void RepaintOwner() {}
    // Lets pending window messages run during long work.
    virtual void ProcessMessages() {}
};

// Shows the arrow pointer for the lifetime of the guard.
class TArrowCursorGuard {
public:
    explicit TArrowCursorGuard(TUserPrompts* prompts) : Prompts(prompts) {
        if (Prompts) Prompts->PushArrowCursor();
    }
    ~TArrowCursorGuard() {
        if (Prompts) Prompts->PopCursor();
    }
    TArrowCursorGuard(const TArrowCursorGuard&) = delete;
    TArrowCursorGuard& operator=(const TArrowCursorGuard&) = delete;

private:
    TUserPrompts* Prompts;
};

} // namespace yar
