// Check lists under Wine: items and marks kept by the list box itself, marks turned over by a click
// on the box and by Space, item heights set once the list is made, boxes drawn as marked.
#include "SmallForm.h"
#include "Surface.h"

#include "toolkit/Application.h"
#include "toolkit/CheckListBox.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace yar {
namespace {

using test::SmallForm;
using test::TWindowShot;

class CheckListTest : public ::testing::Test {
protected:
    TForm Form{SmallForm("check list")};
    TCheckListBox List{&Form, {10, 10, 180, 80}};
    std::vector<int> Toggled;

    void SetUp() override {
        for (const char* name : {"Program", "Read Me", "Uninstall"}) List.AddItem(name);
        List.OnClickCheck = [this](int index) { Toggled.push_back(index); };
        test::ShowActive(Form);
    }

    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageA(List.Handle(), msg, wParam, lParam);
    }
    RECT ItemRect(int index) const {
        RECT r{};
        Send(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    // A click of the mouse at x within the item's height.
    void ClickItem(int index, int x) const {
        const RECT r = ItemRect(index);
        const LPARAM at = MAKELPARAM(x, (r.top + r.bottom) / 2);
        Send(WM_LBUTTONDOWN, MK_LBUTTON, at);
        Send(WM_LBUTTONUP, 0, at);
    }
};

TEST_F(CheckListTest, ItemsAndMarksAreTheListBoxs) {
    EXPECT_EQ(Send(LB_GETCOUNT), 3);
    char text[32] = {};
    Send(LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Read Me");
    EXPECT_EQ(List.Items(), (std::vector<std::string>{"Program", "Read Me", "Uninstall"}));

    List.SetChecked(1, true);
    EXPECT_TRUE(List.Checked(1));
    EXPECT_EQ(Send(LB_GETITEMDATA, 1), 1);
    EXPECT_EQ(Send(LB_GETITEMDATA, 0), 0);
    EXPECT_FALSE(List.Checked(2));
    // The program's marking raises nothing.
    EXPECT_TRUE(Toggled.empty());

    EXPECT_THROW(List.Checked(3), std::out_of_range);
    EXPECT_THROW(List.SetChecked(-1, true), std::out_of_range);
    EXPECT_THROW(List.Item(3), std::out_of_range);

    List.Clear();
    EXPECT_EQ(List.Count(), 0);
    EXPECT_EQ(List.AddItem("Again"), 0);
    EXPECT_FALSE(List.Checked(0));
}

TEST_F(CheckListTest, AClickOnTheBoxTurnsTheMarkOverAndOnTheTextOnlySelects) {
    ClickItem(2, 8);
    EXPECT_TRUE(List.Checked(2));
    EXPECT_EQ(Send(LB_GETITEMDATA, 2), 1);
    EXPECT_EQ(List.ItemIndex(), 2);
    ClickItem(2, 8);
    EXPECT_FALSE(List.Checked(2));
    EXPECT_EQ(Toggled, (std::vector<int>{2, 2}));

    ClickItem(0, 100);
    EXPECT_EQ(List.ItemIndex(), 0);
    EXPECT_FALSE(List.Checked(0));
    // Below the last item.
    const RECT last = ItemRect(2);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, last.bottom + 5));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(8, last.bottom + 5));
    EXPECT_EQ(Toggled.size(), 2u);
}

TEST_F(CheckListTest, SpaceTurnsTheMarkOfTheItemWithTheCaretOnce) {
    SetFocus(List.Handle());
    List.SetItemIndex(1);
    // As the user types it: key down, its character, key up, through the application's loop.
    PostMessageA(List.Handle(), WM_KEYDOWN, VK_SPACE, 0);
    PostMessageA(List.Handle(), WM_CHAR, ' ', 0);
    PostMessageA(List.Handle(), WM_KEYUP, VK_SPACE, 0xC0000001);
    Application().ProcessMessages();
    EXPECT_TRUE(List.Checked(1));
    EXPECT_EQ(Toggled, std::vector<int>{1});
    EXPECT_EQ(List.ItemIndex(), 1);
}

int LineHeight(const TFont& font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font.Handle());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return metrics.tmHeight;
}

TEST_F(CheckListTest, ItemsAreAsHighAsTheFontOrTheBox) {
    // One pixel above and below the taller of the line and the 13-pixel box.
    EXPECT_EQ(Send(LB_GETITEMHEIGHT), std::max(LineHeight(List.Font()), 13) + 2);
    List.SetFont(TFont("Arial", 24));
    EXPECT_EQ(Send(LB_GETITEMHEIGHT), LineHeight(List.Font()) + 2);
    EXPECT_EQ(ItemRect(1).top, Send(LB_GETITEMHEIGHT));
}

TEST_F(CheckListTest, BoxesAreDrawnAsMarkedAndTheTextBesideThem) {
    List.SetFont(TFont("Arial", 16, RGB(0, 0, 160)));
    List.SetChecked(0, true);
    const TWindowShot shot(List.Handle());
    POINT origin{0, 0};
    MapWindowPoints(List.Handle(), nullptr, &origin, 1);
    RECT frame;
    GetWindowRect(List.Handle(), &frame);
    const int dx = origin.x - frame.left, dy = origin.y - frame.top; // the client edge
    const auto boxInside = [&](int index) {
        const RECT item = ItemRect(index);
        const int top = (item.top + item.bottom - 13) / 2 + dy;
        return RECT{dx + 2 + 3, top + 3, dx + 2 + 10, top + 10};
    };
    // The check mark is drawn in the window text colour on the box's white.
    const COLORREF mark = GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_GT(shot.Count(boxInside(0), mark), 5);
    EXPECT_EQ(shot.Count(boxInside(1), mark), 0);
    EXPECT_EQ(shot.Count(boxInside(1), GetSysColor(COLOR_WINDOW)), 49);
    const RECT item = ItemRect(1);
    EXPECT_GT(shot.Count(RECT{dx + 19, item.top + dy, dx + 120, item.bottom + dy}, RGB(0, 0, 160)), 10);
}

} // namespace
} // namespace yar
