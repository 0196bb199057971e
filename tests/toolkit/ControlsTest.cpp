// Controls under Wine: the messages a parent window gets about a child reaching that child alone,
// what a new control takes from its parent, and notebooks whose pages are parents of their own.
#include "SmallForm.h"

#include "toolkit/Application.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>

namespace yar {
namespace {

using test::SmallForm;

// A control the toolkit has no code for: a system window that records the messages its parent
// hands it and lets the test answer them.
class TProbe : public TWinControl {
public:
    TProbe(TWinControl* parent, const TBounds& bounds, const char* className, DWORD style)
        : TWinControl(parent, bounds, className, WS_VISIBLE | style) {}

    struct TSeen {
        UINT Msg;
        WPARAM WParam;
        HWND Window; // the child window the message names, where it names one
    };
    std::vector<TSeen> Seen;
    std::function<bool(UINT msg, LPARAM lParam, LRESULT& result)> Answer;

    size_t Count(UINT msg) const {
        return static_cast<size_t>(
            std::count_if(Seen.begin(), Seen.end(), [msg](const TSeen& s) { return s.Msg == msg; }));
    }
    // True when every message seen named this control's own window.
    bool AllAboutSelf() const {
        return std::all_of(Seen.begin(), Seen.end(),
                           [this](const TSeen& s) { return !s.Window || s.Window == Handle(); });
    }

protected:
    bool ParentMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        HWND window = nullptr;
        if (msg == WM_COMMAND) window = reinterpret_cast<HWND>(lParam);
        if (msg == WM_NOTIFY) window = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
        if (msg == WM_DRAWITEM) window = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
        Seen.push_back(TSeen{msg, wParam, window});
        if (Answer && Answer(msg, lParam, result)) return true;
        return TWinControl::ParentMessage(msg, wParam, lParam, result);
    }
};

void Click(const TWinControl& control) {
    SendMessageA(control.Handle(), BM_CLICK, 0, 0);
}

bool Showing(const TWinControl& control) {
    return IsWindowVisible(control.Handle()) != FALSE;
}

// Reflection: the form's window procedure knows nothing of the probes.

TEST(Reflection, OwnerDrawButtonsOnAPanelGetTheirOwnDrawingAndClicks) {
    TForm form(SmallForm("draw"));
    TPanel panel(&form, {0, 0, 200, 100});
    TProbe a(&panel, {10, 10, 60, 25}, "BUTTON", BS_OWNERDRAW);
    TProbe b(&panel, {80, 10, 60, 25}, "BUTTON", BS_OWNERDRAW);
    ASSERT_NE(a.ControlId(), b.ControlId());
    UINT drawnId = 0;
    a.Answer = [&](UINT msg, LPARAM lParam, LRESULT& result) {
        if (msg != WM_DRAWITEM) return false;
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        drawnId = item->CtlID;
        FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        result = TRUE;
        return true;
    };
    form.Show();
    RedrawWindow(a.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RedrawWindow(b.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GE(a.Count(WM_DRAWITEM), 1u);
    EXPECT_GE(b.Count(WM_DRAWITEM), 1u);
    EXPECT_EQ(drawnId, static_cast<UINT>(a.ControlId()));

    Click(b);
    ASSERT_EQ(b.Count(WM_COMMAND), 1u);
    EXPECT_EQ(HIWORD(b.Seen.back().WParam), BN_CLICKED);
    EXPECT_EQ(a.Count(WM_COMMAND), 0u);
    EXPECT_TRUE(a.AllAboutSelf());
    EXPECT_TRUE(b.AllAboutSelf());
}

TEST(Reflection, ItemsAreMeasuredByTheListTheControlIdNames) {
    TForm form(SmallForm("measure"));
    const DWORD style = LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS;
    TProbe growing(&form, {0, 0, 90, 90}, "LISTBOX", style), flat(&form, {100, 0, 90, 90}, "LISTBOX", style);
    growing.Answer = [](UINT msg, LPARAM lParam, LRESULT& result) {
        if (msg != WM_MEASUREITEM) return false;
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        item->itemHeight = 10 + 5 * item->itemID;
        result = TRUE;
        return true;
    };
    flat.Answer = [](UINT msg, LPARAM lParam, LRESULT& result) {
        if (msg != WM_MEASUREITEM) return false;
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 30;
        result = TRUE;
        return true;
    };
    for (const TProbe* list : {&growing, &flat})
        for (const char* text : {"one", "two", "three"})
            SendMessageA(list->Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(growing.Count(WM_MEASUREITEM), 3u);
    EXPECT_EQ(flat.Count(WM_MEASUREITEM), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(SendMessageA(growing.Handle(), LB_GETITEMHEIGHT, i, 0), 10 + 5 * i) << i;
        EXPECT_EQ(SendMessageA(flat.Handle(), LB_GETITEMHEIGHT, i, 0), 30) << i;
    }
}

TEST(Reflection, TheChildsAnswerToANotificationGoesBackToTheSender) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&classes));
    TForm form(SmallForm("notify"));
    TProbe bar(&form, {10, 10, 150, 30}, TRACKBAR_CLASSA, TBS_HORZ);
    int itemStages = 0;
    bar.Answer = [&](UINT msg, LPARAM lParam, LRESULT& result) {
        const auto* draw = reinterpret_cast<const NMCUSTOMDRAW*>(lParam);
        if (msg != WM_NOTIFY || draw->hdr.code != static_cast<UINT>(NM_CUSTOMDRAW)) return false;
        if (draw->dwDrawStage == CDDS_ITEMPREPAINT) ++itemStages;
        // Items are announced only to a parent that asks for them.
        result = draw->dwDrawStage == CDDS_PREPAINT ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
        return true;
    };
    form.Show();
    RedrawWindow(bar.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GE(bar.Count(WM_NOTIFY), 1u);
    EXPECT_GT(itemStages, 0);
    EXPECT_TRUE(bar.AllAboutSelf());
}

TEST(Reflection, MessagesNamingNoToolkitChildReachNoControl) {
    TForm form(SmallForm("foreign"));
    TProbe probe(&form, {0, 0, 80, 25}, "BUTTON", BS_PUSHBUTTON);
    // A window made outside the toolkit, with the same id as the probe.
    HWND foreign = CreateWindowExA(
        0, "BUTTON", "x", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 100, 0, 80, 25, form.Handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(probe.ControlId())), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(foreign, nullptr);
    SendMessageA(foreign, BM_CLICK, 0, 0);
    // A menu command with the probe's id names no window.
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(probe.ControlId(), 0), 0);
    // A notification from a child of the probe's window is the probe's business, not its parent's.
    HWND grandchild = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 1, 1, probe.Handle(), nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
    NMHDR header{grandchild, static_cast<UINT_PTR>(probe.ControlId()), 0};
    SendMessageA(form.Handle(), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    EXPECT_TRUE(probe.Seen.empty());

    Click(probe);
    EXPECT_EQ(probe.Count(WM_COMMAND), 1u);
    DestroyWindow(foreign);
}

// The colour of a brush a parent answered with.
COLORREF BrushColor(LRESULT brush) {
    LOGBRUSH lb{};
    GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof lb, &lb);
    return lb.lbColor;
}

TEST(Reflection, ChildrenColourThemselvesUnlessTheyAnswerOtherwise) {
    TForm form(SmallForm("colours"));
    TRadioButton radio(&form);
    radio.SetColor(RGB(10, 20, 30));
    radio.SetFont(TFont("Arial", 12, RGB(200, 100, 50)));
    TProbe label(&form, {0, 40, 80, 17}, "STATIC", SS_LEFT);
    HBRUSH own = CreateSolidBrush(RGB(1, 2, 3));
    label.Answer = [own](UINT msg, LPARAM, LRESULT& result) {
        if (msg != WM_CTLCOLORSTATIC) return false;
        result = reinterpret_cast<LRESULT>(own);
        return true;
    };
    HDC dc = CreateCompatibleDC(nullptr);

    const LRESULT brush = SendMessageA(form.Handle(), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(radio.Handle()));
    EXPECT_EQ(BrushColor(brush), RGB(10, 20, 30));
    EXPECT_EQ(GetBkColor(dc), RGB(10, 20, 30));
    EXPECT_EQ(GetTextColor(dc), RGB(200, 100, 50));
    EXPECT_EQ(SendMessageA(form.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(label.Handle())),
              reinterpret_cast<LRESULT>(own));

    DeleteDC(dc);
    DeleteObject(own);
}

TEST(Reflection, AnExceptionInAChildsHandlerReachesTheApplication) {
    TForm form(SmallForm("throws"));
    TRadioButton radio(&form);
    radio.OnClick = [] { throw std::runtime_error("Cannot read drive A:"); };
    std::string reported;
    Application().OnException = [&](const std::exception& e) { reported = e.what(); };
    Click(radio);
    Application().OnException = nullptr;
    EXPECT_EQ(reported, "Cannot read drive A:");
    EXPECT_TRUE(radio.Checked());
}

TEST(Controls, ANewControlTakesItsBoundsAndItsParentsColourAndFont) {
    TForm form(SmallForm("parents"));
    TPanel panel(&form, {5, 6, 150, 80});
    panel.SetColor(clAqua);
    panel.SetFont(TFont("Arial", 14, clNavy));
    TRadioButton radio(&panel, {7, 8, 90, 20});
    TLabel label(&panel, {7, 40});

    RECT r;
    GetWindowRect(panel.Handle(), &r);
    MapWindowPoints(HWND_DESKTOP, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 6);
    EXPECT_EQ(r.right - r.left, 150);
    EXPECT_EQ(r.bottom - r.top, 80);
    GetWindowRect(radio.Handle(), &r);
    MapWindowPoints(HWND_DESKTOP, panel.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 7);
    EXPECT_EQ(r.bottom - r.top, 20);

    for (const TControl* c : {static_cast<const TControl*>(&radio), static_cast<const TControl*>(&label)}) {
        EXPECT_EQ(c->Color(), clAqua);
        EXPECT_EQ(c->Font().Name(), "Arial");
        EXPECT_EQ(c->Font().Color(), clNavy);
    }
    // The window uses the font it was given, not the system's.
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(radio.Handle(), WM_GETFONT, 0, 0)), radio.Font().Handle());
    // An autosized label keeps its place and takes the height of its text.
    label.SetCaption("Text");
    EXPECT_EQ(label.Left(), 7);
    EXPECT_EQ(label.Top(), 40);
    EXPECT_GT(label.Height(), 0);
}

// Notebooks.

class NotebookTest : public ::testing::Test {
protected:
    TForm Form{SmallForm("notebook")};
    TRadioButton Outside{&Form, {0, 0, 60, 17}};
    TNotebook Book{&Form, {0, 20, 200, 80}};
    TPage First{&Book}, Second{&Book}, Third{&Book};
    TRadioButton A1{&First, {0, 0, 60, 17}}, A2{&First, {0, 20, 60, 17}};
    TRadioButton B1{&Second, {0, 0, 60, 17}}, B2{&Second, {0, 20, 60, 17}};
    int Changes = 0;

    void SetUp() override {
        Book.OnPageChanged = [this] { ++Changes; };
        test::ShowActive(Form);
    }
};

TEST_F(NotebookTest, ShowsTheFirstPageMadeAndOnlyThat) {
    EXPECT_EQ(Book.PageCount(), 3);
    EXPECT_EQ(Book.ActivePage(), &First);
    EXPECT_EQ(Book.PageIndex(), 0);
    EXPECT_EQ(&Book.Pages(2), &Third);
    EXPECT_EQ(Third.PageIndex(), 2);
    for (const TPage* page : {&First, &Second, &Third}) {
        EXPECT_EQ(GetParent(page->Handle()), Book.Handle());
        EXPECT_EQ(page->ClientWidth(), 200);
        EXPECT_EQ(page->ClientHeight(), 80);
    }
    EXPECT_TRUE(Showing(First));
    EXPECT_FALSE(Showing(Second));
    EXPECT_FALSE(Showing(Third));
    EXPECT_TRUE(Showing(A1));
    // Visible on its own, yet not showing: its page is hidden.
    EXPECT_TRUE(B1.Visible());
    EXPECT_FALSE(Showing(B1));
}

TEST_F(NotebookTest, SwitchingShowsTheNewPageAndHidesTheOld) {
    Book.SetPageIndex(1);
    EXPECT_EQ(Book.ActivePage(), &Second);
    EXPECT_TRUE(Showing(Second));
    EXPECT_TRUE(Showing(B2));
    EXPECT_FALSE(Showing(First));
    EXPECT_FALSE(Showing(A1));
    EXPECT_EQ(Changes, 1);

    Book.SetActivePage(Second); // already shown: no change
    EXPECT_EQ(Changes, 1);
    Book.SetActivePage(Third);
    EXPECT_EQ(Book.PageIndex(), 2);
    EXPECT_FALSE(Showing(Second));
    EXPECT_EQ(Changes, 2);

    EXPECT_THROW(Book.SetPageIndex(3), std::out_of_range);
    EXPECT_THROW(Book.SetPageIndex(-1), std::out_of_range);
    TNotebook other(&Form);
    TPage stranger(&other);
    EXPECT_THROW(Book.SetActivePage(stranger), std::invalid_argument);
    EXPECT_EQ(Book.ActivePage(), &Third);
    EXPECT_EQ(Changes, 2);
}

TEST_F(NotebookTest, PagesFollowTheNotebooksSizeShownOrNot) {
    Book.SetBounds(0, 20, 180, 60);
    for (const TPage* page : {&First, &Second, &Third}) {
        EXPECT_EQ(page->Width(), 180);
        EXPECT_EQ(page->Height(), 60);
    }
}

TEST_F(NotebookTest, EachPageIsARadioGroupOfItsOwn) {
    A1.SetChecked(true);
    B2.SetChecked(true);
    Outside.SetChecked(true);
    EXPECT_TRUE(A1.Checked() && B2.Checked() && Outside.Checked());

    Click(A2);
    EXPECT_TRUE(A2.Checked());
    EXPECT_FALSE(A1.Checked());
    EXPECT_TRUE(B2.Checked());
    EXPECT_TRUE(Outside.Checked());

    Book.SetActivePage(Second);
    Click(B1);
    EXPECT_TRUE(B1.Checked());
    EXPECT_FALSE(B2.Checked());
    EXPECT_EQ(SendMessageA(B2.Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(A2.Checked());
    EXPECT_EQ(SendMessageA(A2.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(Outside.Checked());
}

TEST_F(NotebookTest, TheKeyboardFocusLeavesAHiddenPage) {
    SetFocus(A2.Handle());
    Book.SetActivePage(Second);
    EXPECT_EQ(GetFocus(), B1.Handle());
    // Tabbing from the form's first control reaches the page shown, never the hidden one.
    std::vector<HWND> stops;
    for (HWND w = GetNextDlgTabItem(Form.Handle(), nullptr, FALSE); w && stops.size() < 10;
         w = GetNextDlgTabItem(Form.Handle(), w, FALSE)) {
        if (std::find(stops.begin(), stops.end(), w) != stops.end()) break;
        stops.push_back(w);
    }
    EXPECT_NE(std::find(stops.begin(), stops.end(), B1.Handle()), stops.end());
    for (HWND hidden : {A1.Handle(), A2.Handle()})
        EXPECT_EQ(std::find(stops.begin(), stops.end(), hidden), stops.end());

    // Focus outside the notebook stays where it is.
    SetFocus(Outside.Handle());
    Book.SetActivePage(Third);
    EXPECT_EQ(GetFocus(), Outside.Handle());
}

TEST(Notebook, DestroyingAPageLeavesTheOthersInOrder) {
    TForm form(SmallForm("pages"));
    TNotebook book(&form);
    auto first = std::make_unique<TPage>(&book);
    auto second = std::make_unique<TPage>(&book);
    auto third = std::make_unique<TPage>(&book);
    book.SetActivePage(*third);

    second.reset();
    EXPECT_EQ(book.PageCount(), 2);
    EXPECT_EQ(third->PageIndex(), 1);
    EXPECT_EQ(book.PageIndex(), 1);

    third.reset(); // the active page
    EXPECT_EQ(book.ActivePage(), nullptr);
    EXPECT_EQ(book.PageIndex(), -1);
    book.SetPageIndex(0);
    EXPECT_EQ(book.ActivePage(), first.get());
    EXPECT_TRUE(first->Visible());
}

} // namespace
} // namespace yar
