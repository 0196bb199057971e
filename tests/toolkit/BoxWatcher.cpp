#include "BoxWatcher.h"

#include <algorithm>

namespace yar::test {

namespace {

struct TWatch {
    int PressId = IDOK;
    TSeenBox Seen;
    UINT_PTR Timer = 0;
};
TWatch* gWatch = nullptr;

std::string WindowText(HWND w) {
    char buffer[1024] = {};
    GetWindowTextA(w, buffer, sizeof buffer);
    return buffer;
}

BOOL CALLBACK ReadChild(HWND child, LPARAM param) {
    auto* buttons = reinterpret_cast<std::vector<std::pair<LONG, TSeenButton>>*>(param);
    char cls[64] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (!IsWindowVisible(child)) return TRUE;
    if (lstrcmpiA(cls, "Button") == 0) {
        RECT r;
        GetWindowRect(child, &r);
        buttons->push_back({r.left, TSeenButton{WindowText(child), GetDlgCtrlID(child)}});
    } else if (lstrcmpiA(cls, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
               SendMessageA(child, STM_GETICON, 0, 0) != 0) {
        gWatch->Seen.HasIcon = true;
    }
    return TRUE;
}

BOOL CALLBACK FindBox(HWND w, LPARAM param) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (IsWindowVisible(w) && lstrcmpA(cls, "#32770") == 0) {
        *reinterpret_cast<HWND*>(param) = w;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    if (!box || !gWatch || gWatch->Seen.Shown) return;
    TSeenBox& seen = gWatch->Seen;
    seen.Shown = true;
    seen.ClassName = "#32770";
    seen.Caption = WindowText(box);
    if (HWND text = GetDlgItem(box, 0xFFFF)) seen.Text = WindowText(text);
    std::vector<std::pair<LONG, TSeenButton>> buttons;
    EnumChildWindows(box, ReadChild, reinterpret_cast<LPARAM>(&buttons));
    std::sort(buttons.begin(), buttons.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& b : buttons) seen.Buttons.push_back(b.second);
    HWND button = GetDlgItem(box, gWatch->PressId);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(gWatch->PressId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

} // namespace

TSeenBox WatchBox(int pressId, const std::function<void()>& action) {
    TWatch watch;
    watch.PressId = pressId;
    gWatch = &watch;
    watch.Timer = SetTimer(nullptr, 0, 30, OnTick);
    action();
    KillTimer(nullptr, watch.Timer);
    gWatch = nullptr;
    return watch.Seen;
}

} // namespace yar::test
