#include "toolkit/Forms.h"

#include "toolkit/Application.h"
#include "toolkit/Dpi.h"
#include "toolkit/HighContrast.h"

#include <stdexcept>
#include <vector>

namespace yar {

namespace {

// The other visible, enabled top-level windows of the thread are disabled while a modal form runs.
class TDisabledWindows {
public:
    explicit TDisabledWindows(HWND modal) : FModal(modal) {
        EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(this));
        for (HWND w : FWindows) EnableWindow(w, FALSE);
    }
    ~TDisabledWindows() {
        for (HWND w : FWindows)
            if (IsWindow(w)) EnableWindow(w, TRUE);
    }
    TDisabledWindows(const TDisabledWindows&) = delete;
    TDisabledWindows& operator=(const TDisabledWindows&) = delete;

private:
    static BOOL CALLBACK Collect(HWND w, LPARAM param) {
        auto* self = reinterpret_cast<TDisabledWindows*>(param);
        if (w != self->FModal && IsWindowVisible(w) && IsWindowEnabled(w)) self->FWindows.push_back(w);
        return TRUE;
    }

    HWND FModal;
    std::vector<HWND> FWindows;
};

// The system's message when a window moves to a monitor of another resolution or the resolution
// changes (newer headers than the ones the programs are built for declare it).
constexpr UINT kDpiChanged = 0x02E0;

POINT MousePoint(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

} // namespace

TWinControl::TCreateParams TForm::MakeParams(const TFormDesign& design) {
    TCreateParams params;
    params.Text = design.Caption;
    params.Style = WS_POPUP | WS_CLIPCHILDREN;
    params.ExStyle = WS_EX_CONTROLPARENT;
    if (design.BorderStyle != bsNone) {
        params.Style |= WS_CAPTION;
        if (design.SystemMenu) params.Style |= WS_SYSMENU;
    }
    if (design.BorderStyle == bsToolWindow) params.ExStyle |= WS_EX_TOOLWINDOW;
    // The system's resolution until the window knows its monitor's.
    params.PixelsPerInch = SystemPixelsPerInch();
    RECT r{0, 0, ScalePixels(design.ClientWidth, params.PixelsPerInch),
           ScalePixels(design.ClientHeight, params.PixelsPerInch)};
    AdjustWindowRectForDpi(r, params.Style, params.ExStyle, params.PixelsPerInch);
    params.Bounds = TBounds{0, 0, r.right - r.left, r.bottom - r.top};
    // Later forms belong to the main form, so that they stay above it.
    if (TForm* main = Application().MainForm()) params.ParentHandle = main->Handle();
    return params;
}

TForm::TForm(const TFormDesign& design)
    : TWinControl(nullptr, MakeParams(design)), FMaximized(design.Maximized),
      FScreenCenter(design.ScreenCenter) {
    FColor = design.Color;
    SetFont(design.Font);
    // A monitor of another resolution than the system's: the form is laid out for it.
    if (const int ppi = WindowPixelsPerInch(Handle()); ppi != FPixelsPerInch) {
        ChangeScale(ppi);
        SetClientSize(Scaled(design.ClientWidth), Scaled(design.ClientHeight));
    }
    // The first form made is the application's main form.
    if (!Application().MainForm()) Application().SetMainForm(this);
}

TForm::~TForm() {
    if (Application().MainForm() == this) Application().SetMainForm(nullptr);
}

void TForm::SetClientSize(int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRectForDpi(r, static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)),
                           static_cast<DWORD>(GetWindowLongA(Handle(), GWL_EXSTYLE)), FPixelsPerInch);
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TForm::CenterOnScreen() {
    SetBounds((GetSystemMetrics(SM_CXSCREEN) - Width()) / 2, (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2,
              Width(), Height());
}

void TForm::SetVisible(bool visible) {
    if (visible == FVisible) return;
    if (visible) {
        if (OnShow) OnShow();
        if (FScreenCenter) CenterOnScreen();
        FVisible = true;
        ShowWindow(Handle(), FMaximized ? SW_SHOWMAXIMIZED : SW_SHOW);
        // The keyboard starts at the first control that takes it.
        if (HWND first = GetNextDlgTabItem(Handle(), nullptr, FALSE)) SetFocus(first);
    } else {
        FVisible = false;
        ShowWindow(Handle(), SW_HIDE);
    }
}

int TForm::ShowModal() {
    if (FVisible) throw std::logic_error("Cannot make a visible window modal");
    FModal = true;
    FModalResult = mrNone;
    {
        TDisabledWindows others(Handle());
        struct TModalEnd {
            TForm& Form;
            ~TModalEnd() {
                Form.FModal = false;
                Form.Hide();
            }
        } end{*this};
        Show();
        SetActiveWindow(Handle());
        for (;;) {
            if (Application().Terminated()) {
                FModalResult = mrCancel;
                break;
            }
            if (FModalResult != mrNone) {
                TCloseAction action = caHide;
                if (OnClose) OnClose(action);
                if (action != caNone) break;
                FModalResult = mrNone;
            }
            Application().HandleMessage();
        }
    }
    return FModalResult;
}

void TForm::Close() {
    if (FModal) {
        if (FModalResult == mrNone) FModalResult = mrCancel;
        return;
    }
    TCloseAction action = caHide;
    if (OnClose) OnClose(action);
    if (action == caNone) return;
    if (Application().MainForm() == this)
        Application().Terminate();
    else
        Hide();
}

void TForm::Resized() {
    TWinControl::Resized();
    if (OnResize) OnResize();
}

void TForm::AddNonClientHook(TNonClientHook* hook) {
    FNonClientHooks.push_back(hook);
}

void TForm::RemoveNonClientHook(TNonClientHook* hook) {
    std::erase(FNonClientHooks, hook);
}

void TForm::Press(const TWinControl* button) {
    if (button && IsWindowVisible(button->Handle()) && IsWindowEnabled(button->Handle()))
        SendMessageA(button->Handle(), BM_CLICK, 0, 0);
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_ACTIVATE:
        // As a dialog does: the keyboard comes back to the control that had it before a box or another
        // window took it, not to the form.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(Handle(), focus)) FFocusKept = focus;
        } else if (FFocusKept && IsChild(Handle(), FFocusKept) && IsWindowVisible(FFocusKept) &&
                   IsWindowEnabled(FFocusKept)) {
            SetFocus(FFocusKept);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
        FClickStarted = !GraphicControlAt(MousePoint(lParam));
        break;
    case WM_LBUTTONUP: {
        const POINT pt = MousePoint(lParam);
        RECT client;
        GetClientRect(Handle(), &client);
        const bool click = FClickStarted && PtInRect(&client, pt) && !GraphicControlAt(pt);
        FClickStarted = false;
        if (click && OnClick) OnClick();
        break;
    }
    case WM_COMMAND:
        // The dialog manager's Enter and Escape when no focused button takes the key: the ids IDOK
        // and IDCANCEL from no window (the form has no child with either id).
        if (lParam == 0 && wParam == IDOK) {
            Press(FDefaultButton);
            return 0;
        }
        if (lParam == 0 && wParam == IDCANCEL) {
            Press(FCancelButton);
            return 0;
        }
        break;
    case kDpiChanged: {
        // Moved to a monitor of another resolution: laid out anew, in the rectangle the system
        // suggests (it keeps the window under the pointer while dragged).
        ChangeScale(HIWORD(wParam));
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        SetBounds(suggested.left, suggested.top, suggested.right - suggested.left,
                  suggested.bottom - suggested.top);
        return 0;
    }
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // High contrast may have been turned on or off: every window paints again, frames included.
        RefreshHighContrast();
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        break;
    case WM_NCPAINT:
    case WM_NCACTIVATE:
    case WM_SETTEXT:
    case WM_PRINT: {
        const LRESULT result = TWinControl::WndProc(msg, wParam, lParam);
        // A copy: a hook may remove itself.
        const std::vector<TNonClientHook*> hooks = FNonClientHooks;
        for (TNonClientHook* hook : hooks) hook->NonClientPainted(msg, wParam, lParam);
        return result;
    }
    default:
        break;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

TForm* ParentForm(TControl* control) {
    while (control && control->Parent()) control = control->Parent();
    return dynamic_cast<TForm*>(control);
}

} // namespace yar
