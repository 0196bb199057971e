// Standard controls under Wine: push buttons with their Enter, Escape and accelerator keys, check
// boxes, edits and memos, group boxes and panels with a border.
#include "SmallForm.h"
#include "Surface.h"

#include "toolkit/Application.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace yar {
namespace {

using test::SmallForm;
using test::TWindowShot;
using Lines = std::vector<std::string>;

// A key pressed on the focused control, handled as the application's loop handles it.
void PressKey(WPARAM key, UINT msg = WM_KEYDOWN) {
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    PostMessageA(focus, msg, key, msg == WM_SYSCHAR ? (1 << 29) : 0);
    Application().ProcessMessages();
}

LONG_PTR ButtonType(const TWinControl& button) {
    return GetWindowLongPtrA(button.Handle(), GWL_STYLE) & BS_TYPEMASK;
}

// The wizard's arrangement: the buttons on a panel, a check box on the form.
class ButtonTest : public ::testing::Test {
protected:
    TForm Form{SmallForm("buttons")};
    TCheckBox Box{&Form, {0, 0, 90, 17}};
    TPanel Bar{&Form, {0, 60, 200, 40}};
    TButton Back{&Bar, {5, 5, 60, 25}}, Next{&Bar, {70, 5, 60, 25}}, Cancel{&Bar, {135, 5, 60, 25}};
    int Backs = 0, Nexts = 0, Cancels = 0;

    void SetUp() override {
        Back.SetCaption("&Back");
        Next.SetCaption("&Next");
        Cancel.SetCaption("&Cancel");
        Back.OnClick = [this] { ++Backs; };
        Next.OnClick = [this] { ++Nexts; };
        Cancel.OnClick = [this] { ++Cancels; };
        Next.SetDefault(true);
        Cancel.SetCancel(true);
        test::ShowActive(Form);
        SetFocus(Box.Handle());
    }
};

TEST_F(ButtonTest, AClickRaisesOnClickOfThatButtonOnly) {
    SendMessageA(Back.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(Backs, 1);
    EXPECT_EQ(Nexts + Cancels, 0);
    EXPECT_EQ(Back.Caption(), "&Back");
}

TEST_F(ButtonTest, EnterPressesTheDefaultButtonAndEscapeTheCancelButton) {
    EXPECT_TRUE(Next.Default());
    EXPECT_TRUE(Cancel.Cancel());
    EXPECT_EQ(ButtonType(Next), BS_DEFPUSHBUTTON);
    PressKey(VK_RETURN);
    EXPECT_EQ(Nexts, 1);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(Cancels, 1);
    EXPECT_EQ(Backs, 0);
    EXPECT_FALSE(Box.Checked());

    // Disabled or hidden, they are not pressed.
    Next.SetEnabled(false);
    Cancel.Hide();
    PressKey(VK_RETURN);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(Nexts, 1);
    EXPECT_EQ(Cancels, 1);
}

TEST_F(ButtonTest, EnterOnAFocusedButtonPressesThatButton) {
    SetFocus(Back.Handle());
    EXPECT_EQ(ButtonType(Back), BS_DEFPUSHBUTTON);
    EXPECT_EQ(ButtonType(Next), BS_PUSHBUTTON);
    PressKey(VK_RETURN);
    EXPECT_EQ(Backs, 1);
    EXPECT_EQ(Nexts, 0);

    // Once the focus leaves it, the default button has Enter again.
    SetFocus(Box.Handle());
    EXPECT_EQ(ButtonType(Back), BS_PUSHBUTTON);
    EXPECT_EQ(ButtonType(Next), BS_DEFPUSHBUTTON);
    PressKey(VK_RETURN);
    EXPECT_EQ(Nexts, 1);
    EXPECT_EQ(Backs, 1);
}

TEST_F(ButtonTest, TheAcceleratorPressesItsButton) {
    PressKey('c', WM_SYSCHAR);
    EXPECT_EQ(Cancels, 1);
    PressKey('b', WM_SYSCHAR);
    EXPECT_EQ(Backs, 1);
    EXPECT_EQ(Nexts, 0);
}

TEST_F(ButtonTest, OneDefaultAndOneCancelButtonPerForm) {
    Back.SetDefault(true);
    EXPECT_FALSE(Next.Default());
    EXPECT_EQ(ButtonType(Next), BS_PUSHBUTTON);
    EXPECT_EQ(ButtonType(Back), BS_DEFPUSHBUTTON);
    Back.SetCancel(true);
    EXPECT_FALSE(Cancel.Cancel());
    PressKey(VK_ESCAPE);
    EXPECT_EQ(Backs, 1);
    EXPECT_EQ(Cancels, 0);

    Back.SetDefault(false);
    EXPECT_EQ(Form.DefaultButton(), nullptr);
    EXPECT_EQ(ButtonType(Back), BS_PUSHBUTTON);
    PressKey(VK_RETURN);
    EXPECT_EQ(Backs + Nexts, 1);
}

TEST_F(ButtonTest, AButtonDestroyedLeavesTheFormsKeysPressingNothing) {
    auto ok = std::make_unique<TButton>(&Form);
    ok->SetDefault(true);
    ok->SetCancel(true);
    ok.reset();
    EXPECT_EQ(Form.DefaultButton(), nullptr);
    EXPECT_EQ(Form.CancelButton(), nullptr);
    PressKey(VK_RETURN);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(Backs + Nexts + Cancels, 0);
}

TEST(CheckBox, AClickTurnsTheMarkOverBeforeOnClick) {
    TForm form(SmallForm("check"));
    TCheckBox box(&form);
    box.SetCaption("Add Folder to Desktop");
    std::vector<bool> seen;
    box.OnClick = [&] { seen.push_back(box.Checked()); };
    EXPECT_FALSE(box.Checked());
    SendMessageA(box.Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(SendMessageA(box.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageA(box.Handle(), BM_CLICK, 0, 0);
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(SendMessageA(box.Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));

    // The program's setting raises nothing; check boxes are no radio group.
    TCheckBox other(&form, {0, 20, 90, 17});
    box.SetChecked(true);
    other.SetChecked(true);
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(SendMessageA(box.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(box.Caption(), "Add Folder to Desktop");
}

TEST(Lines, BreakAtCrLfLfOrCrAndNotAfterTheLastLine) {
    EXPECT_EQ(SplitLines(""), Lines{});
    EXPECT_EQ(SplitLines("one"), Lines{"one"});
    EXPECT_EQ(SplitLines("one\r\ntwo"), (Lines{"one", "two"}));
    EXPECT_EQ(SplitLines("one\r\ntwo\r\n"), (Lines{"one", "two"}));
    EXPECT_EQ(SplitLines("\r\n"), Lines{""});
    EXPECT_EQ(SplitLines("a\n\nb\r"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitLines("a\r\r\nb\n\r"), (Lines{"a", "", "b", ""}));
    EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(JoinLines({}), "");
    const Lines lines{"", "It is strongly recommended", "", ""};
    EXPECT_EQ(SplitLines(JoinLines(lines)), lines);
}

TEST(Edit, TextAndChangesGoThroughTheWindow) {
    TForm form(SmallForm("edit"));
    TEdit edit(&form);
    int changes = 0;
    edit.OnChange = [&] { ++changes; };
    edit.SetText("C:\\Program Files\\Acme");
    EXPECT_EQ(changes, 1);
    char buffer[64] = {};
    SendMessageA(edit.Handle(), WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    EXPECT_STREQ(buffer, "C:\\Program Files\\Acme");

    // Typing changes it too, unless it is read-only.
    SendMessageA(edit.Handle(), EM_SETSEL, 0, -1);
    SendMessageA(edit.Handle(), WM_CHAR, 'D', 0);
    EXPECT_EQ(edit.Text(), "D");
    EXPECT_EQ(changes, 2);
    edit.SetReadOnly(true);
    EXPECT_TRUE(edit.ReadOnly());
    EXPECT_TRUE(GetWindowLongPtrA(edit.Handle(), GWL_STYLE) & ES_READONLY);
    SendMessageA(edit.Handle(), WM_CHAR, 'E', 0);
    EXPECT_EQ(edit.Text(), "D");
    edit.SetText("set anyway");
    EXPECT_EQ(edit.Text(), "set anyway");
    edit.SetReadOnly(false);
    EXPECT_FALSE(edit.ReadOnly());
    EXPECT_EQ(edit.Color(), clWindow);
}

// A file of the test's own in the temporary directory, removed at the end.
class TTempFile {
public:
    explicit TTempFile(const std::string& content) {
        char dir[MAX_PATH] = {}, name[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, dir);
        GetTempFileNameA(dir, "yar", 0, name);
        Path = name;
        std::ofstream(Path, std::ios::binary) << content;
    }
    ~TTempFile() { std::remove(Path.c_str()); }
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;

    std::string Path;
};

TEST(Memo, LinesAreTheWindowsTextWithCrLf) {
    TForm form(SmallForm("memo"));
    TMemo memo(&form);
    int changes = 0;
    memo.OnChange = [&] { ++changes; };
    memo.SetLines({"", "one", "", "three"});
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(memo.Text(), "\r\none\r\n\r\nthree\r\n");
    // The edit sees the line breaks: four lines and the empty one after the last break.
    EXPECT_EQ(SendMessageA(memo.Handle(), EM_GETLINECOUNT, 0, 0), 5);
    EXPECT_EQ(memo.Lines(), (Lines{"", "one", "", "three"}));
    memo.AddLine("  C:\\Acme");
    EXPECT_EQ(memo.Lines().back(), "  C:\\Acme");
    EXPECT_EQ(memo.Lines().size(), 5u);
    memo.Clear();
    EXPECT_EQ(memo.Lines(), Lines{});
    memo.AddLine("Install to:");
    EXPECT_EQ(memo.Text(), "Install to:\r\n");

    // Without a break after the last line, the last line counts all the same.
    SetWindowTextA(memo.Handle(), "a\r\nb");
    EXPECT_EQ(memo.Lines(), (Lines{"a", "b"}));
}

TEST(Memo, LoadsAFileOfAnyLineBreakAndAnyLength) {
    TForm form(SmallForm("licence"));
    TMemo memo(&form);
    memo.SetReadOnly(true);
    const TTempFile licence("First line\nsecond line\r\n\r\nlast");
    memo.LoadFromFile(licence.Path);
    EXPECT_EQ(memo.Lines(), (Lines{"First line", "second line", "", "last"}));
    EXPECT_EQ(memo.Text(), "First line\r\nsecond line\r\n\r\nlast\r\n");

    // Longer than the system's default limit of an edit.
    const std::string line(99, 'x');
    std::string text;
    for (int i = 0; i < 500; ++i) text += line + "\n";
    const TTempFile longer(text);
    memo.LoadFromFile(longer.Path);
    EXPECT_EQ(memo.Lines().size(), 500u);
    EXPECT_EQ(GetWindowTextLengthA(memo.Handle()), 500 * 101);

    EXPECT_THROW(memo.LoadFromFile(licence.Path + ".missing"), std::runtime_error);
    EXPECT_EQ(memo.Lines().size(), 500u);
}

TEST(Memo, AScrollBarKeepsTextIdPlaceAndEvents) {
    TForm form(SmallForm("scroll"));
    TEdit before(&form, {0, 0, 50, 21});
    TMemo memo(&form, {0, 25, 150, 60});
    TEdit after(&form, {0, 90, 50, 21});
    memo.SetLines({"one", "two"});
    memo.SetReadOnly(true);
    memo.SetFont(TFont("Arial", 13));
    int changes = 0;
    memo.OnChange = [&] { ++changes; };
    const int id = memo.ControlId();
    form.Show();

    memo.SetScrollBars(ssVertical);
    EXPECT_EQ(memo.ScrollBars(), ssVertical);
    const LONG_PTR style = GetWindowLongPtrA(memo.Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_FALSE(style & WS_HSCROLL);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(memo.ReadOnly());
    EXPECT_TRUE(IsWindowVisible(memo.Handle()));
    EXPECT_EQ(GetDlgCtrlID(memo.Handle()), id);
    EXPECT_EQ(memo.Lines(), (Lines{"one", "two"}));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(memo.Handle(), WM_GETFONT, 0, 0)), memo.Font().Handle());
    EXPECT_EQ(GetNextDlgTabItem(form.Handle(), before.Handle(), FALSE), memo.Handle());
    EXPECT_EQ(GetNextDlgTabItem(form.Handle(), memo.Handle(), FALSE), after.Handle());
    RECT r;
    GetWindowRect(memo.Handle(), &r);
    MapWindowPoints(HWND_DESKTOP, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.top, 25);
    EXPECT_EQ(r.right - r.left, 150);
    // The new window's notifications reach the control.
    memo.SetReadOnly(false);
    SendMessageA(memo.Handle(), WM_CHAR, 'x', 0);
    EXPECT_EQ(changes, 1);
    memo.AddLine("three");
    EXPECT_EQ(changes, 2);
    memo.SetScrollBars(ssNone);
    EXPECT_FALSE(GetWindowLongPtrA(memo.Handle(), GWL_STYLE) & WS_VSCROLL);
}

// As on a wizard's page: the memo on a panel, the buttons elsewhere on the form.
TEST(Memo, TabEnterAndEscapeBelongToTheForm) {
    TForm form(SmallForm("memo keys"));
    TPanel page(&form, {0, 0, 200, 60});
    TMemo memo(&page, {0, 0, 150, 50});
    TButton ok(&form, {0, 70, 60, 25}), cancel(&form, {70, 70, 60, 25});
    int oks = 0, cancels = 0;
    ok.OnClick = [&] { ++oks; };
    cancel.OnClick = [&] { ++cancels; };
    ok.SetDefault(true);
    cancel.SetCancel(true);
    memo.SetLines({"terms"});
    test::ShowActive(form);
    // Also once the memo's window is made again for its scroll bar.
    for (const TScrollStyle bars : {ssNone, ssVertical}) {
        memo.SetScrollBars(bars);
        memo.SetReadOnly(bars == ssVertical);
        // A button pressed by its key takes the focus, as a click would: each key starts on the memo.
        SetFocus(memo.Handle());
        const int before = oks;
        PressKey(VK_RETURN);
        EXPECT_EQ(oks, before + 1);
        SetFocus(memo.Handle());
        PressKey(VK_ESCAPE);
        EXPECT_EQ(cancels, oks);
        EXPECT_TRUE(IsWindow(page.Handle())) << "the system's edit closes its parent on Escape";
        EXPECT_EQ(memo.Lines(), Lines{"terms"});
        SetFocus(memo.Handle());
        PressKey(VK_TAB);
        EXPECT_EQ(GetFocus(), ok.Handle());
    }
}

TEST(GroupBox, HoldsControlsOfItsOwnInsideAFrameWithItsCaption) {
    TForm form(SmallForm("group"));
    form.SetColor(RGB(200, 200, 200));
    TGroupBox group(&form, {10, 10, 180, 80});
    group.SetCaption(" Destination ");
    group.SetFont(TFont("Arial", 16, RGB(0, 0, 160)));
    TCheckBox inside(&group, {10, 40, 100, 17});
    bool clicked = false;
    inside.OnClick = [&] { clicked = true; };
    form.Show();
    EXPECT_EQ(GetParent(inside.Handle()), group.Handle());
    EXPECT_EQ(group.Caption(), " Destination ");
    SendMessageA(inside.Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(inside.Checked());

    const TWindowShot shot(group.Handle());
    const COLORREF back = RGB(200, 200, 200);
    // The etched frame: a dark line with a light one inside, below the caption's middle and on the
    // sides; the caption in the font's colour interrupts its top edge.
    EXPECT_EQ(shot.At(90, 40), back);
    EXPECT_NE(shot.At(0, 40), back);
    EXPECT_NE(shot.At(179, 40), back);
    EXPECT_NE(shot.At(90, 79), back);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, group.Font().Handle());
    SIZE text;
    GetTextExtentPoint32A(dc, " Destination ", 13, &text);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    ASSERT_LT(text.cx, 150);
    EXPECT_GT(shot.Count(RECT{8, 0, 20 + text.cx, text.cy}, RGB(0, 0, 160)), 10);
    EXPECT_EQ(shot.Count(RECT{0, 0, 8, text.cy}, RGB(0, 0, 160)), 0);
    EXPECT_EQ(shot.Count(RECT{20 + text.cx, 0, 180, 80}, RGB(0, 0, 160)), 0);
}

TEST(Panel, ASingleBorderTakesAPixelOnEachSide) {
    TForm form(SmallForm("border"));
    TPanel panel(&form, {0, 0, 100, 50});
    EXPECT_FALSE(panel.SingleBorder());
    EXPECT_EQ(panel.ClientWidth(), 100);
    panel.SetSingleBorder(true);
    EXPECT_TRUE(panel.SingleBorder());
    EXPECT_EQ(panel.ClientWidth(), 98);
    EXPECT_EQ(panel.ClientHeight(), 48);
    EXPECT_EQ(panel.Width(), 100);
    panel.SetSingleBorder(false);
    EXPECT_EQ(panel.ClientWidth(), 100);
}

} // namespace
} // namespace yar
