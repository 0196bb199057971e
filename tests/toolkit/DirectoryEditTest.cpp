// The directory edit under Wine: an edit and a browse button laid out side by side, the button's
// tooltip, the folder browser asked through the replaceable function, and the system's browser.
#include "BoxWatcher.h"
#include "SmallForm.h"

#include "toolkit/DirectoryEdit.h"
#include "toolkit/Forms.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace yar {
namespace {

using test::SmallForm;
using test::TSeenBox;
using test::WatchBox;

RECT PlaceIn(HWND window, HWND parent) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

BOOL CALLBACK FindToolTip(HWND w, LPARAM found) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpiA(cls, TOOLTIPS_CLASSA) != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

class DirectoryEditTest : public ::testing::Test {
protected:
    TForm Form{SmallForm("directory")};
    TDirectoryEdit Dir{&Form, {10, 10, 180, 21}};
    struct TAsked {
        HWND Owner = nullptr;
        std::string Title, Start;
        int Count = 0;
    } Asked;
    std::string Answer; // empty: the user cancels
    int Changes = 0;

    void SetUp() override {
        Dir.BrowseFunction = [this](HWND owner, const std::string& title, std::string& path) {
            Asked = TAsked{owner, title, path, Asked.Count + 1};
            if (Answer.empty()) return false;
            path = Answer;
            return true;
        };
        Dir.Edit().OnChange = [this] { ++Changes; };
        Form.Show();
    }
};

TEST_F(DirectoryEditTest, TheEditTakesTheWidthButASquareButtonAtTheRight) {
    EXPECT_EQ(GetParent(Dir.Edit().Handle()), Dir.Handle());
    const RECT edit = PlaceIn(Dir.Edit().Handle(), Dir.Handle());
    const RECT button = PlaceIn(Dir.Button().Handle(), Dir.Handle());
    EXPECT_EQ(edit.left, 0);
    EXPECT_EQ(edit.right, 159);
    EXPECT_EQ(button.left, 159);
    EXPECT_EQ(button.right, 180);
    EXPECT_EQ(button.bottom - button.top, 21);
    // Tabbing goes from the edit to the button.
    EXPECT_EQ(GetNextDlgTabItem(Form.Handle(), Dir.Edit().Handle(), FALSE), Dir.Button().Handle());

    Dir.SetBounds(10, 10, 120, 25);
    EXPECT_EQ(PlaceIn(Dir.Edit().Handle(), Dir.Handle()).right, 95);
    EXPECT_EQ(PlaceIn(Dir.Button().Handle(), Dir.Handle()).right, 120);
}

TEST_F(DirectoryEditTest, TextIsTheEdits) {
    Dir.SetText("C:\\Program Files\\Acme");
    char buffer[64] = {};
    SendMessageA(Dir.Edit().Handle(), WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    EXPECT_STREQ(buffer, "C:\\Program Files\\Acme");
    SetWindowTextA(Dir.Edit().Handle(), "D:\\Typed");
    EXPECT_EQ(Dir.Text(), "D:\\Typed");
    // Through the base class too.
    const TWinControl& control = Dir;
    EXPECT_EQ(control.Text(), "D:\\Typed");
}

TEST_F(DirectoryEditTest, TheButtonAsksForAFolderStartingAtTheTextAndTakesTheAnswer) {
    Dir.SetText("C:\\Acme");
    Dir.SetDialogTitle("Select the destination:");
    Changes = 0;
    Answer = "D:\\Games\\Acme";
    SendMessageA(Dir.Button().Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(Asked.Count, 1);
    EXPECT_EQ(Asked.Start, "C:\\Acme");
    EXPECT_EQ(Asked.Title, "Select the destination:");
    EXPECT_EQ(Asked.Owner, Form.Handle());
    EXPECT_EQ(Dir.Text(), "D:\\Games\\Acme");
    EXPECT_EQ(Changes, 1);

    Answer.clear();
    EXPECT_FALSE(Dir.Browse());
    EXPECT_EQ(Asked.Count, 2);
    EXPECT_EQ(Asked.Start, "D:\\Games\\Acme");
    EXPECT_EQ(Dir.Text(), "D:\\Games\\Acme");
    EXPECT_EQ(Changes, 1);
}

TEST_F(DirectoryEditTest, BothPartsFollowEnablingAndFont) {
    Dir.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(Dir.Edit().Handle()));
    EXPECT_FALSE(IsWindowEnabled(Dir.Button().Handle()));
    Dir.SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(Dir.Edit().Handle()));
    EXPECT_TRUE(IsWindowEnabled(Dir.Button().Handle()));
    Dir.SetFont(TFont("Arial", 14));
    for (const TWinControl* part :
         {static_cast<TWinControl*>(&Dir.Edit()), static_cast<TWinControl*>(&Dir.Button())})
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(part->Handle(), WM_GETFONT, 0, 0)),
                  part->Font().Handle());
    EXPECT_EQ(Dir.Edit().Font().Name(), "Arial");
}

TEST_F(DirectoryEditTest, TheButtonsTooltipShowsTheHint) {
    HWND tip = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindToolTip, reinterpret_cast<LPARAM>(&tip));
    ASSERT_NE(tip, nullptr);
    // A pop-up belongs to the top-level window of the child it is made for.
    EXPECT_EQ(GetWindow(tip, GW_OWNER), Form.Handle());
    Dir.SetButtonHint("Browse for Directory");
    EXPECT_EQ(Dir.ButtonHint(), "Browse for Directory");
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    char text[80] = {};
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = Dir.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(Dir.Button().Handle());
    tool.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "Browse for Directory");
}

TEST(FolderBrowser, TheSystemsBrowserStartsAtThePathAndAnswersItOrCancels) {
    TForm form(SmallForm("browse"));
    form.Show();
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string path = windows;
    bool chosen = false;
    TSeenBox box = WatchBox(IDOK, [&] { chosen = BrowseForFolder(form.Handle(), "Pick one", path); });
    ASSERT_TRUE(box.Shown);
    EXPECT_TRUE(chosen);
    EXPECT_EQ(lstrcmpiA(path.c_str(), windows), 0) << path;

    path = "C:\\";
    box = WatchBox(IDCANCEL, [&] { chosen = BrowseForFolder(form.Handle(), "Pick one", path); });
    ASSERT_TRUE(box.Shown);
    EXPECT_FALSE(chosen);
    EXPECT_EQ(path, "C:\\");
}

} // namespace
} // namespace yar
