#include "BoxWatcher.h"

#include <algorithm>
#include <deque>

namespace yar::test {

namespace {

struct TWatch {
    std::deque<TBoxAnswer> Answers;
    std::vector<TSeenBox> Seen;
    std::vector<HWND> Ended; // boxes answered, which may still show until their loop has ended them
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
        gWatch->Seen.back().HasIcon = true;
    }
    return TRUE;
}

BOOL CALLBACK FindBox(HWND w, LPARAM param) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (IsWindowVisible(w) && lstrcmpA(cls, "#32770") == 0 &&
        std::find(gWatch->Ended.begin(), gWatch->Ended.end(), w) == gWatch->Ended.end()) {
        *reinterpret_cast<HWND*>(param) = w;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (!gWatch) return;
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    if (!box) return;
    gWatch->Ended.push_back(box);
    TSeenBox& seen = gWatch->Seen.emplace_back();
    seen.Shown = true;
    seen.ClassName = "#32770";
    seen.Caption = WindowText(box);
    if (HWND text = GetDlgItem(box, 0xFFFF)) seen.Text = WindowText(text);
    std::vector<std::pair<LONG, TSeenButton>> buttons;
    EnumChildWindows(box, ReadChild, reinterpret_cast<LPARAM>(&buttons));
    std::sort(buttons.begin(), buttons.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& b : buttons) seen.Buttons.push_back(b.second);
    TBoxAnswer answer{IDCANCEL, {}};
    if (!gWatch->Answers.empty()) {
        answer = std::move(gWatch->Answers.front());
        gWatch->Answers.pop_front();
    }
    HWND button = GetDlgItem(box, answer.PressId);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer.PressId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    if (answer.After) answer.After();
}

} // namespace

std::vector<TSeenBox> WatchBoxes(std::vector<TBoxAnswer> answers, const std::function<void()>& action) {
    TWatch watch;
    watch.Answers.assign(std::make_move_iterator(answers.begin()), std::make_move_iterator(answers.end()));
    TWatch* outer = gWatch;
    gWatch = &watch;
    watch.Timer = SetTimer(nullptr, 0, 30, OnTick);
    struct TEnd {
        TWatch& Watch;
        TWatch* Outer;
        ~TEnd() {
            KillTimer(nullptr, Watch.Timer);
            gWatch = Outer;
        }
    } end{watch, outer};
    action();
    return watch.Seen;
}

TSeenBox WatchBox(int pressId, const std::function<void()>& action) {
    const std::vector<TSeenBox> seen = WatchBoxes({TBoxAnswer{pressId, {}}}, action);
    return seen.empty() ? TSeenBox{} : seen.front();
}

} // namespace yar::test
