#include "toolkit/Dialogs.h"

#include "toolkit/Application.h"
#include "toolkit/Dpi.h"
#include "toolkit/DpiScale.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace yar {

namespace {

// Designed at 96 pixels per inch; TBoxMetrics holds them at the box's resolution.
constexpr int kMargin = 8;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;
constexpr int kEditHeight = 21;
constexpr int kInputMinWidth = 260;
constexpr int kTextId = 0xFFFF; // the id the system's own message boxes give their text
constexpr int kIconId = 20;

struct TBoxMetrics {
    explicit TBoxMetrics(HWND box)
        : PixelsPerInch(WindowPixelsPerInch(box)), Margin(Scale(kMargin)), IconSize(Scale(kIconSize)),
          ButtonWidth(Scale(kButtonWidth)), ButtonHeight(Scale(kButtonHeight)), ButtonGap(Scale(kButtonGap)),
          EditHeight(Scale(kEditHeight)), InputMinWidth(Scale(kInputMinWidth)) {}
    int Scale(int designPixels) const { return ScalePixels(designPixels, PixelsPerInch); }

    int PixelsPerInch;
    int Margin;
    int IconSize;
    int ButtonWidth;
    int ButtonHeight;
    int ButtonGap;
    int EditHeight;
    int InputMinWidth;
};

struct TBoxRequest {
    std::string Text;
    std::string Caption;
    LPCSTR Icon = nullptr;
    std::vector<TMsgDlgBtn> Buttons; // in display order
    int EscapeResult = mrCancel;
    TFont Font{"MS Sans Serif", 11, clWindowText};
};

HWND MakeChild(HWND box, const char* cls, const std::string& text, DWORD style, int id, const RECT& r,
               HFONT font) {
    HWND w =
        CreateWindowExA(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                        r.bottom - r.top, box, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                        GetModuleHandleA(nullptr), nullptr);
    SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return w;
}

SIZE MeasureText(const std::string& text, HFONT font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return SIZE{r.right, r.bottom};
}
// Gives a dialog box the client size asked for and centres it on the screen.
void SizeAndCentre(HWND box, int clientWidth, int clientHeight, int ppi) {
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectForDpi(frame, static_cast<DWORD>(GetWindowLongA(box, GWL_STYLE)),
                           static_cast<DWORD>(GetWindowLongA(box, GWL_EXSTYLE)), ppi);
    const int w = frame.right - frame.left;
    const int h = frame.bottom - frame.top;
    SetWindowPos(box, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, SWP_NOZORDER);
}

// Lays out icon, text and buttons in pixels and centres the box on the screen.
void BuildBox(HWND box, TBoxRequest& request) {
    SetWindowTextA(box, request.Caption.c_str());
    const TBoxMetrics m(box);
    // The request outlives the box: its font is the controls' for as long as they show.
    request.Font.SetPixelsPerInch(m.PixelsPerInch);
    HFONT font = request.Font.Handle();
    const SIZE text = MeasureText(request.Text, font);
    const int textLeft = request.Icon ? m.Margin + m.IconSize + m.Margin * 2 : m.Margin * 2;
    if (request.Icon) {
        HWND icon = MakeChild(
            box, "STATIC", "", SS_ICON, kIconId,
            RECT{m.Margin * 2, m.Margin * 2, m.Margin * 2 + m.IconSize, m.Margin * 2 + m.IconSize}, font);
        SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, request.Icon)), 0);
    }
    const int topHeight = std::max(static_cast<int>(text.cy), request.Icon ? m.IconSize : 0);
    MakeChild(box, "STATIC", request.Text, SS_LEFT | SS_NOPREFIX, kTextId,
              RECT{textLeft, m.Margin * 2, textLeft + text.cx, m.Margin * 2 + text.cy}, font);

    const int count = static_cast<int>(request.Buttons.size());
    const int buttonsWidth = count * m.ButtonWidth + (count - 1) * m.ButtonGap;
    const int clientWidth =
        std::max(textLeft + static_cast<int>(text.cx) + m.Margin * 2, buttonsWidth + m.Margin * 4);
    const int buttonsTop = m.Margin * 2 + topHeight + m.Margin * 2;
    const int clientHeight = buttonsTop + m.ButtonHeight + m.Margin * 2;
    int x = (clientWidth - buttonsWidth) / 2;
    HWND first = nullptr;
    for (TMsgDlgBtn b : request.Buttons) {
        const DWORD style = WS_TABSTOP | (first ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON);
        HWND button = MakeChild(box, "BUTTON", MsgDlgButtonCaption(b), style, MsgDlgButtonResult(b),
                                RECT{x, buttonsTop, x + m.ButtonWidth, buttonsTop + m.ButtonHeight}, font);
        if (!first) first = button;
        x += m.ButtonWidth + m.ButtonGap;
    }

    SizeAndCentre(box, clientWidth, clientHeight, m.PixelsPerInch);
    if (first) {
        SendMessageA(box, DM_SETDEFID, static_cast<WPARAM>(GetDlgCtrlID(first)), 0);
        SetFocus(first);
    }
}

INT_PTR CALLBACK BoxProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        auto* request = reinterpret_cast<TBoxRequest*>(lParam);
        SetWindowLongPtrA(box, DWLP_USER, lParam);
        BuildBox(box, *request);
        return FALSE; // focus is set
    }
    case WM_COMMAND: {
        const auto* request = reinterpret_cast<const TBoxRequest*>(GetWindowLongPtrA(box, DWLP_USER));
        const int id = LOWORD(wParam);
        const bool ownButton = std::any_of(request->Buttons.begin(), request->Buttons.end(),
                                           [id](TMsgDlgBtn b) { return MsgDlgButtonResult(b) == id; });
        if (ownButton)
            EndDialog(box, id);
        else if (id == IDCANCEL)
            EndDialog(box, request->EscapeResult);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

// An empty dialog template: the box makes its controls itself when it starts.
struct alignas(4) TEmptyTemplate {
    DLGTEMPLATE Header;
    // cppcheck-suppress unusedStructMember ; read by the system as part of the template
    std::array<WORD, 3> MenuClassTitle; // no menu, the standard dialog class, empty title
};

LPCSTR MsgDlgIcon(TMsgDlgType type) {
    switch (type) {
    case mtWarning:
        return reinterpret_cast<LPCSTR>(IDI_WARNING);
    case mtError:
        return reinterpret_cast<LPCSTR>(IDI_ERROR);
    case mtInformation:
        return reinterpret_cast<LPCSTR>(IDI_INFORMATION);
    case mtConfirmation:
        return reinterpret_cast<LPCSTR>(IDI_QUESTION);
    }
    return nullptr;
}

struct TInputRequest {
    std::string Caption;
    std::string Prompt;
    std::string Value;
    TFont Font{"MS Sans Serif", 11, clWindowText};
};

std::string ControlText(HWND w) {
    const int length = GetWindowTextLengthA(w);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(w, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

// The prompt on top, the edit under it across the box, OK and Cancel at the bottom right.
void BuildInputBox(HWND box, TInputRequest& request) {
    SetWindowTextA(box, request.Caption.c_str());
    const TBoxMetrics m(box);
    request.Font.SetPixelsPerInch(m.PixelsPerInch);
    HFONT font = request.Font.Handle();
    const SIZE prompt = MeasureText(request.Prompt, font);
    const int clientWidth = std::max(static_cast<int>(prompt.cx) + m.Margin * 2, m.InputMinWidth);
    int y = m.Margin;
    MakeChild(box, "STATIC", request.Prompt, SS_LEFT | SS_NOPREFIX, kInputQueryPromptId,
              RECT{m.Margin, y, m.Margin + prompt.cx, y + prompt.cy}, font);
    y += prompt.cy + m.Margin / 2;
    HWND edit = CreateWindowExA(
        WS_EX_CLIENTEDGE, "EDIT", request.Value.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
        m.Margin, y, clientWidth - m.Margin * 2, m.EditHeight, box,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kInputQueryEditId)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    y += m.EditHeight + m.Margin * 2;
    int x = clientWidth - m.Margin - m.ButtonWidth * 2 - m.ButtonGap;
    MakeChild(box, "BUTTON", MsgDlgButtonCaption(mbOK), WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK,
              RECT{x, y, x + m.ButtonWidth, y + m.ButtonHeight}, font);
    x += m.ButtonWidth + m.ButtonGap;
    MakeChild(box, "BUTTON", MsgDlgButtonCaption(mbCancel), WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL,
              RECT{x, y, x + m.ButtonWidth, y + m.ButtonHeight}, font);
    const int clientHeight = y + m.ButtonHeight + m.Margin;

    SizeAndCentre(box, clientWidth, clientHeight, m.PixelsPerInch);
    SendMessageA(box, DM_SETDEFID, IDOK, 0);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
}

INT_PTR CALLBACK InputProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(box, DWLP_USER, lParam);
        BuildInputBox(box, *reinterpret_cast<TInputRequest*>(lParam));
        return FALSE; // focus is set
    case WM_COMMAND: {
        auto* request = reinterpret_cast<TInputRequest*>(GetWindowLongPtrA(box, DWLP_USER));
        const int id = LOWORD(wParam);
        if (id == IDOK) {
            request->Value = ControlText(GetDlgItem(box, kInputQueryEditId));
            EndDialog(box, IDOK);
        } else if (id == IDCANCEL) {
            EndDialog(box, IDCANCEL);
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}

} // namespace

std::string MsgDlgCaption(TMsgDlgType type) {
    switch (type) {
    case mtWarning:
        return "Warning";
    case mtError:
        return "Error";
    case mtInformation:
        return "Information";
    case mtConfirmation:
        return "Confirm";
    }
    return {};
}

std::string MsgDlgButtonCaption(TMsgDlgBtn button) {
    static const std::array<const char*, 7> captions{"&Yes",   "&No",    "OK",     "Cancel",
                                                     "&Abort", "&Retry", "&Ignore"};
    return captions.at(static_cast<size_t>(button));
}

int MsgDlgButtonResult(TMsgDlgBtn button) {
    static const std::array<int, 7> results{mrYes, mrNo, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore};
    return results.at(static_cast<size_t>(button));
}

void ShowMessage(const std::string& text) {
    // Once the application is asked to end, boxes close without waiting for the user.
    if (Application().Terminated()) return;
    MessageBoxA(Application().DialogOwner(), text.c_str(), Application().Title().c_str(), MB_OK);
}

int MessageDlg(const std::string& text, TMsgDlgType type, const std::vector<TMsgDlgBtn>& buttons) {
    if (buttons.empty()) throw std::invalid_argument("A message box needs a button");
    const auto has = [&](TMsgDlgBtn b) {
        return std::find(buttons.begin(), buttons.end(), b) != buttons.end();
    };
    TBoxRequest request;
    request.EscapeResult = has(mbCancel) ? mrCancel : has(mbNo) ? mrNo : has(mbOK) ? mrOk : mrCancel;
    // Once the application is asked to end, boxes close without waiting for the user.
    if (Application().Terminated()) return request.EscapeResult;
    request.Text = text;
    request.Caption = MsgDlgCaption(type);
    request.Icon = MsgDlgIcon(type);
    for (int b = mbYes; b <= mbIgnore; ++b)
        if (std::find(buttons.begin(), buttons.end(), static_cast<TMsgDlgBtn>(b)) != buttons.end())
            request.Buttons.push_back(static_cast<TMsgDlgBtn>(b));

    TEmptyTemplate dialog{};
    dialog.Header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    const INT_PTR result =
        DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &dialog.Header, Application().DialogOwner(),
                                BoxProc, reinterpret_cast<LPARAM>(&request));
    // No box (it could not be made, or the application is ending): as if Escape had been pressed.
    if (result <= 0) return request.EscapeResult;
    return static_cast<int>(result);
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    // Once the application is asked to end, the box closes without waiting for the user.
    if (Application().Terminated()) return false;
    TInputRequest request;
    request.Caption = caption;
    request.Prompt = prompt;
    request.Value = value;
    TEmptyTemplate dialog{};
    dialog.Header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    const INT_PTR result =
        DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &dialog.Header, Application().DialogOwner(),
                                InputProc, reinterpret_cast<LPARAM>(&request));
    if (result != IDOK) return false;
    value = request.Value;
    return true;
}

} // namespace yar
