// Forms: top-level windows with their show, resize and close events and modal showing.
#pragma once

#include "toolkit/Controls.h"

#include <functional>
#include <string>
#include <vector>

namespace yar {

// Results of a modal form or a message box; the values of the system's dialog ids.
enum TModalResult : int {
    mrNone = 0,
    mrOk = IDOK,
    mrCancel = IDCANCEL,
    mrAbort = IDABORT,
    mrRetry = IDRETRY,
    mrIgnore = IDIGNORE,
    mrYes = IDYES,
    mrNo = IDNO
};

enum TFormBorderStyle {
    bsNone,       // no frame, no caption
    bsSingle,     // fixed-size frame with caption
    bsToolWindow, // fixed-size frame with a small caption
};

// What the close handler decides: caHide lets the form close, caNone keeps it open.
enum TCloseAction { caNone, caHide };

using TCloseEvent = std::function<void(TCloseAction& action)>;

// How a form is made: frame, caption, size (designed at 96 pixels per inch) and placement.
struct TFormDesign {
    std::string Caption;
    TFormBorderStyle BorderStyle = bsSingle;
    bool SystemMenu = true; // the close box of the caption
    int ClientWidth = 320;
    int ClientHeight = 240;
    bool Maximized = false;
    bool ScreenCenter = false;
    TColor Color = clBtnFace;
    TFont Font{"MS Sans Serif", 11, clWindowText};
};

// Draws over what the system painted of a form's frame, such as a caption bar of its own. The form
// hands each of its hooks, in the order they were added, the messages after which the system has
// painted the frame (WM_NCPAINT, WM_NCACTIVATE, WM_SETTEXT) or printed it (WM_PRINT), once the
// system has handled them.
class TNonClientHook {
public:
    virtual void NonClientPainted(UINT msg, WPARAM wParam, LPARAM lParam) = 0;

protected:
    TNonClientHook() = default;
    ~TNonClientHook() = default;
    TNonClientHook(const TNonClientHook&) = default;
    TNonClientHook& operator=(const TNonClientHook&) = default;
};

// A form is laid out for the resolution of its monitor and again when it moves to a monitor of another
// (WM_DPICHANGED); it repaints when the system's colours or high contrast change.
class TForm : public TWinControl {
public:
    explicit TForm(const TFormDesign& design);
    ~TForm() override;

    TNotifyEvent OnShow;
    TNotifyEvent OnResize;
    TCloseEvent OnClose;
    // A click (left button pressed and released) on the form's own surface; windowless controls
    // such as labels and images take the clicks on them, child windows get their own.
    TNotifyEvent OnClick;

    // Shows the form (modeless); raises OnShow first.
    void SetVisible(bool visible) override;
    // Shows the form and handles messages until it closes; other windows of the application are
    // disabled meanwhile. Ends with mrCancel when the application is asked to end.
    int ShowModal();
    bool Modal() const { return FModal; }
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int result) { FModalResult = result; }
    // Asks the form to close: the close handler decides; the main form's closing ends the application.
    void Close();

    // The buttons that Enter and Escape press, nullptr for none; a button sets itself through its
    // Default and Cancel properties. They are pressed with a click message, and only while visible
    // and enabled. Enter on a focused push button presses that button instead.
    TWinControl* DefaultButton() const { return FDefaultButton; }
    void SetDefaultButton(TWinControl* button) { FDefaultButton = button; }
    TWinControl* CancelButton() const { return FCancelButton; }
    void SetCancelButton(TWinControl* button) { FCancelButton = button; }

    // The hook stays the caller's; it must be removed before it is destroyed.
    void AddNonClientHook(TNonClientHook* hook);
    void RemoveNonClientHook(TNonClientHook* hook);

    // In the form's pixels (Scaled for designed sizes).
    void SetClientSize(int width, int height);
    std::string Caption() const { return Text(); }
    void SetCaption(const std::string& caption) { SetText(caption); }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Resized() override;
    // Where a form designed for the centre of the screen goes when it is shown.
    void CenterOnScreen();

private:
    static TCreateParams MakeParams(const TFormDesign& design);

    static void Press(const TWinControl* button);

    bool FMaximized;
    bool FScreenCenter;
    bool FModal = false;
    bool FClickStarted = false;
    int FModalResult = mrNone;
    TWinControl* FDefaultButton = nullptr;
    TWinControl* FCancelButton = nullptr;
    HWND FFocusKept = nullptr; // the control that had the keyboard when the form was last active
    std::vector<TNonClientHook*> FNonClientHooks;
};

// The form a control sits on, nullptr when it is on none.
TForm* ParentForm(TControl* control);

} // namespace yar
