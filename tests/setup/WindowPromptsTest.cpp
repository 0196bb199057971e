// The Windows prompts of the archive code under Wine: the input box and the error box, answered
// from a thread timer that runs inside their modal loops.
#include "setup/WindowPrompts.h"
#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace yar {
namespace {

std::string TextOf(HWND w) {
    char buffer[1024] = {};
    GetWindowTextA(w, buffer, sizeof buffer);
    return buffer;
}

// What the timer saw of the box and what it does to it.
struct TAnswer {
    std::string Caption;                  // the box to look for
    std::function<void(HWND box)> Answer; // reads the box and presses a button
    bool Found = false;
};
TAnswer* gAnswer = nullptr;

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (!gAnswer || gAnswer->Found) return;
    HWND box = FindWindowA("#32770", gAnswer->Caption.c_str());
    if (!box || !IsWindowVisible(box) || GetWindowThreadProcessId(box, nullptr) != GetCurrentThreadId())
        return;
    gAnswer->Found = true;
    gAnswer->Answer(box);
}

// Runs action while a timer waits for the box captioned caption and answers it.
bool Answered(const std::string& caption, const std::function<void(HWND)>& answer,
              const std::function<void()>& action) {
    TAnswer state{caption, answer};
    gAnswer = &state;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, OnTick);
    action();
    KillTimer(nullptr, timer);
    gAnswer = nullptr;
    return state.Found;
}

void Click(HWND box, int id) {
    HWND button = GetDlgItem(box, id);
    ASSERT_NE(button, nullptr);
    PostMessageA(button, BM_CLICK, 0, 0);
}

class WindowPromptsTest : public ::testing::Test {
protected:
    void SetUp() override { Application().SetTitle("Prompts Test"); }
};

TEST_F(WindowPromptsTest, InputQueryShowsThePromptAndValueAndReturnsTheTypedText) {
    TWindowPrompts prompts(nullptr);
    std::string value = "A:\\";
    std::string prompt;
    std::string initial;
    std::string ok;
    std::string cancel;
    bool confirmed = false;
    const bool found = Answered(
        "Insert Disk 2",
        [&](HWND box) {
            prompt = TextOf(GetDlgItem(box, kInputQueryPromptId));
            HWND edit = GetDlgItem(box, kInputQueryEditId);
            initial = TextOf(edit);
            ok = TextOf(GetDlgItem(box, IDOK));
            cancel = TextOf(GetDlgItem(box, IDCANCEL));
            SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("D:\\setup"));
            Click(box, IDOK);
        },
        [&] { confirmed = prompts.InputQuery("Insert Disk 2", "Path of disk.002:", value); });
    ASSERT_TRUE(found);
    EXPECT_EQ(prompt, "Path of disk.002:");
    EXPECT_EQ(initial, "A:\\");
    EXPECT_EQ(ok, "OK");
    EXPECT_EQ(cancel, "Cancel");
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(value, "D:\\setup");
}

TEST_F(WindowPromptsTest, InputQueryCancelledLeavesTheValue) {
    TWindowPrompts prompts(nullptr);
    std::string value = "A:\\";
    bool confirmed = true;
    const bool found = Answered(
        "Insert Disk 3",
        [&](HWND box) {
            SendMessageA(GetDlgItem(box, kInputQueryEditId), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>("typed"));
            Click(box, IDCANCEL);
        },
        [&] { confirmed = prompts.InputQuery("Insert Disk 3", "Path:", value); });
    ASSERT_TRUE(found);
    EXPECT_FALSE(confirmed);
    EXPECT_EQ(value, "A:\\");
}

TEST_F(WindowPromptsTest, InputQueryEnterConfirmsAndEscapeCancels) {
    std::string value = "first";
    bool confirmed = false;
    const auto key = [](WPARAM vk) {
        return [vk](HWND box) {
            HWND edit = GetDlgItem(box, kInputQueryEditId);
            SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("second"));
            PostMessageA(edit, WM_KEYDOWN, vk, 1);
        };
    };
    ASSERT_TRUE(Answered("Keys", key(VK_RETURN), [&] { confirmed = InputQuery("Keys", "Enter:", value); }));
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(value, "second");

    value = "first";
    ASSERT_TRUE(Answered("Keys", key(VK_ESCAPE), [&] { confirmed = InputQuery("Keys", "Escape:", value); }));
    EXPECT_FALSE(confirmed);
    EXPECT_EQ(value, "first");
}

TEST_F(WindowPromptsTest, ErrorOkCancelIsTrueForOkAndFalseForCancel) {
    TWindowPrompts prompts(nullptr);
    std::string text;
    bool answer = false;
    ASSERT_TRUE(Answered(
        "Error",
        [&](HWND box) {
            text = TextOf(GetDlgItem(box, 0xFFFF));
            Click(box, IDOK);
        },
        [&] { answer = prompts.ErrorOkCancel("Disk not ready"); }));
    EXPECT_EQ(text, "Disk not ready");
    EXPECT_TRUE(answer);

    ASSERT_TRUE(Answered(
        "Error", [](HWND box) { Click(box, IDCANCEL); },
        [&] { answer = prompts.ErrorOkCancel("Disk not ready"); }));
    EXPECT_FALSE(answer);
}

TEST_F(WindowPromptsTest, ArrowCursorIsPushedAndTheOldOneComesBack) {
    TWindowPrompts prompts(nullptr);
    HCURSOR wait = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
    HCURSOR arrow = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    ASSERT_NE(wait, arrow);
    SetCursor(wait);
    {
        yar::TArrowCursorGuard guard(&prompts);
        EXPECT_EQ(GetCursor(), arrow);
        EXPECT_EQ(prompts.CursorDepth(), 1u);
        prompts.PushArrowCursor();
        prompts.PopCursor();
        EXPECT_EQ(GetCursor(), arrow);
    }
    EXPECT_EQ(GetCursor(), wait);
    EXPECT_EQ(prompts.CursorDepth(), 0u);
    prompts.PopCursor(); // nothing remembered: no change
    EXPECT_EQ(GetCursor(), wait);
}

int gPaints = 0;
int gPosted = 0;

LRESULT CALLBACK CountingProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(w, &ps);
        EndPaint(w, &ps);
        ++gPaints;
        return 0;
    }
    if (msg == WM_APP) {
        ++gPosted;
        return 0;
    }
    return DefWindowProcA(w, msg, wParam, lParam);
}

HWND MakeCountingWindow() {
    static const ATOM cls = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = CountingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "YarPromptsOwner";
        return RegisterClassA(&wc);
    }();
    EXPECT_NE(cls, 0);
    return CreateWindowExA(0, "YarPromptsOwner", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 150,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

TEST_F(WindowPromptsTest, RepaintOwnerPaintsTheOwnerAtOnce) {
    HWND owner = MakeCountingWindow();
    ASSERT_NE(owner, nullptr);
    UpdateWindow(owner);
    ValidateRect(owner, nullptr);
    gPaints = 0;
    TWindowPrompts prompts(owner);
    EXPECT_EQ(prompts.Owner(), owner);
    prompts.RepaintOwner();
    EXPECT_EQ(gPaints, 1);
    RECT pending;
    EXPECT_FALSE(GetUpdateRect(owner, &pending, FALSE));
    DestroyWindow(owner);
    TWindowPrompts(nullptr).RepaintOwner(); // no owner: nothing to do
}

TEST_F(WindowPromptsTest, ProcessMessagesRunsPendingMessages) {
    HWND w = MakeCountingWindow();
    ASSERT_NE(w, nullptr);
    gPosted = 0;
    PostMessageA(w, WM_APP, 0, 0);
    PostMessageA(w, WM_APP, 0, 0);
    TWindowPrompts(w).ProcessMessages();
    EXPECT_EQ(gPosted, 2);
    DestroyWindow(w);
}

} // namespace
} // namespace yar
