// The toolkit under Wine: colours, message boxes, the application's error box and loops, forms,
// timers, labels with shadows and radio-button groups.
#include "BoxWatcher.h"
#include "SmallForm.h"
#include "Surface.h"

#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace yar {
namespace {

using test::SmallForm;
using test::TSeenBox;
using test::WatchBox;

std::vector<std::string> Captions(const TSeenBox& box) {
    std::vector<std::string> captions;
    for (const auto& b : box.Buttons) captions.push_back(b.Caption);
    return captions;
}

std::vector<int> Ids(const TSeenBox& box) {
    std::vector<int> ids;
    for (const auto& b : box.Buttons) ids.push_back(b.Id);
    return ids;
}

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override { Application().SetTitle("Toolkit Test"); }
};

TEST(Colors, SystemColoursBecomeTheirCurrentRgbValue) {
    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ColorToRGB(clHighlight), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(ColorToRGB(static_cast<TColor>(0x80000000u | COLOR_WINDOW)), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456u);
    EXPECT_EQ(ColorToRGB(clBlue), RGB(0, 0, 255));
}

// Quotes group and vanish, backslashes stay as they are: a quoted directory ending in a backslash is
// that directory, not a quote the C runtime's rule would read into it.
TEST(ProgramArguments, QuotesGroupAndBackslashesStay) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitProgramArguments("install.exe \"C:\\dist\\\""), (V{"install.exe", "C:\\dist\\"}));
    EXPECT_EQ(SplitProgramArguments("\"C:\\Program Files\\a.exe\"  /DIR=\"C:\\My Apps\"\t-silent "),
              (V{"C:\\Program Files\\a.exe", "/DIR=C:\\My Apps", "-silent"}));
    EXPECT_EQ(SplitProgramArguments("a.exe \"\" \"b c"), (V{"a.exe", "", "b c"}));
    EXPECT_EQ(SplitProgramArguments("   "), V{});
    EXPECT_FALSE(ParamStr(0).empty()) << "the program's own name";
}

TEST(Fonts, PointSizeIsDesignedAt96AndTheFontMadeForItsResolution) {
    TFont font("Times New Roman", 13);
    font.SetSize(10);
    EXPECT_EQ(font.Height(), 13);
    // The same design at 100%, 150% and 200%: the GDI font's character height follows the resolution,
    // and a font made before the change is not kept.
    for (const auto& [ppi, height] : {std::pair{96, 13}, std::pair{144, 20}, std::pair{192, 26}}) {
        font.SetPixelsPerInch(ppi);
        LOGFONTA made{};
        ASSERT_EQ(GetObjectA(font.Handle(), sizeof made, &made), static_cast<int>(sizeof made));
        EXPECT_EQ(made.lfHeight, -height) << ppi;
        EXPECT_EQ(font.Height(), 13);
        // A copy carries the resolution.
        const TFont copy = font;
        EXPECT_EQ(copy.PixelsPerInch(), ppi);
    }
}

TEST_F(ToolkitTest, ShowMessageIsCaptionedWithTheTitleWithoutIconAndOneOk) {
    const TSeenBox box = WatchBox(IDOK, [] { ShowMessage("first\rsecond"); });
    ASSERT_TRUE(box.Shown);
    EXPECT_EQ(box.Caption, "Toolkit Test");
    EXPECT_NE(box.Text.find("first"), std::string::npos);
    EXPECT_NE(box.Text.find("second"), std::string::npos);
    EXPECT_EQ(Ids(box), std::vector<int>{IDOK});
    EXPECT_FALSE(box.HasIcon);
}

TEST_F(ToolkitTest, WarningOffersNoThenAbort) {
    int result = 0;
    // Asked for in the other order: the boxes keep their own order.
    const TSeenBox box = WatchBox(IDABORT, [&] {
        result = MessageDlg("Abort Setup Process ?", mtWarning, {mbAbort, mbNo});
    });
    ASSERT_TRUE(box.Shown);
    EXPECT_EQ(box.Caption, "Warning");
    EXPECT_EQ(box.Text, "Abort Setup Process ?");
    EXPECT_EQ(Captions(box), (std::vector<std::string>{"&No", "&Abort"}));
    EXPECT_EQ(Ids(box), (std::vector<int>{IDNO, IDABORT}));
    EXPECT_TRUE(box.HasIcon);
    EXPECT_EQ(result, mrAbort);
}

TEST_F(ToolkitTest, EscapeAnswersCancelElseNo) {
    int warning = 0, error = 0;
    WatchBox(IDCANCEL, [&] { warning = MessageDlg("?", mtWarning, {mbNo, mbAbort}); });
    EXPECT_EQ(warning, mrNo);
    WatchBox(IDCANCEL, [&] { error = MessageDlg("!", mtError, {mbOK, mbCancel}); });
    EXPECT_EQ(error, mrCancel);
}

TEST_F(ToolkitTest, ConfirmationAndErrorBoxes) {
    int yes = 0;
    const TSeenBox confirm = WatchBox(IDYES, [&] {
        yes = MessageDlg("File Already Exists (a.txt). Overwrite?", mtConfirmation, {mbYes, mbNo});
    });
    EXPECT_EQ(confirm.Caption, "Confirm");
    EXPECT_EQ(Captions(confirm), (std::vector<std::string>{"&Yes", "&No"}));
    EXPECT_EQ(yes, mrYes);

    int ok = 0;
    const TSeenBox error = WatchBox(IDOK, [&] {
        ok = MessageDlg("Disk not ready", mtError, {mbOK, mbCancel});
    });
    EXPECT_EQ(error.Caption, "Error");
    EXPECT_EQ(Captions(error), (std::vector<std::string>{"OK", "Cancel"}));
    EXPECT_EQ(Ids(error), (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_TRUE(error.HasIcon);
    EXPECT_EQ(ok, mrOk);
}

TEST_F(ToolkitTest, StandardErrorBoxEndsTheMessageWithAFullStop) {
    TSeenBox box = WatchBox(IDOK, [] { Application().ShowException(std::runtime_error("Disk full")); });
    EXPECT_EQ(box.Caption, "Toolkit Test");
    EXPECT_EQ(box.Text, "Disk full.");
    EXPECT_EQ(Ids(box), std::vector<int>{IDOK});
    EXPECT_TRUE(box.HasIcon);
    box = WatchBox(IDOK, [] { Application().ShowException(std::runtime_error("Path not found.")); });
    EXPECT_EQ(box.Text, "Path not found.");
}

TEST_F(ToolkitTest, ModalFormRunsUntilItsCloseHandlerLetsItGo) {
    TForm other(SmallForm("other"));
    other.Show();
    TForm form(SmallForm("modal"));
    TTimer timer;
    timer.SetInterval(10);
    int ticks = 0, closes = 0;
    bool otherDisabled = false, shown = false;
    form.OnShow = [&] { shown = true; };
    form.OnClose = [&](TCloseAction& action) {
        if (++closes == 1) action = caNone; // the first request is refused
    };
    timer.OnTimer = [&] {
        ++ticks;
        otherDisabled = !IsWindowEnabled(other.Handle());
        form.Close();
    };
    timer.SetEnabled(true);
    EXPECT_EQ(form.ShowModal(), mrCancel);
    timer.SetEnabled(false);
    EXPECT_TRUE(shown);
    EXPECT_EQ(closes, 2);
    EXPECT_GE(ticks, 2);
    EXPECT_TRUE(otherDisabled);
    EXPECT_TRUE(IsWindowEnabled(other.Handle()));
    EXPECT_FALSE(IsWindowVisible(form.Handle()));
    EXPECT_FALSE(form.Visible());
}

// Asked to end from inside a modal form's handler, before any loop has met the quit message: the
// boxes asked for on the way out close without being shown, and the modal loop ends.
TEST_F(ToolkitTest, AfterTerminateBoxesCloseByThemselvesAndTheModalLoopEnds) {
    TForm form(SmallForm("ending"));
    TTimer timer;
    timer.SetInterval(10);
    int warning = 0, error = 0;
    bool query = true;
    timer.OnTimer = [&] {
        timer.SetEnabled(false);
        Application().Terminate();
        ShowMessage("Error Expanding Files!!");
        warning = MessageDlg("Abort Setup Process ?", mtWarning, {mbNo, mbAbort});
        error = MessageDlg("Correct and then press OK", mtError, {mbOK, mbCancel});
        std::string value = "a:\\";
        query = InputQuery("Mount Segment #2", "Directory Path:", value);
    };
    timer.SetEnabled(true);
    int result = mrNone;
    const std::vector<TSeenBox> boxes = test::WatchBoxes({}, [&] { result = form.ShowModal(); });
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(warning, mrNo);
    EXPECT_EQ(error, mrCancel);
    EXPECT_FALSE(query);
    EXPECT_EQ(result, mrCancel);
    EXPECT_TRUE(Application().Terminated());
}

// A click on the form's own surface raises OnClick; one on a label, or pressed elsewhere and
// released here, does not.
TEST_F(ToolkitTest, FormClickOnItsOwnSurfaceOnly) {
    TForm form(SmallForm("clicks"));
    TLabel label(&form, {100, 10, 80, 20});
    label.SetAutoSize(false);
    label.SetCaption("label");
    int clicks = 0;
    form.OnClick = [&] { ++clicks; };
    const auto send = [&](UINT msg, int x, int y) { SendMessageA(form.Handle(), msg, 0, MAKELPARAM(x, y)); };
    send(WM_LBUTTONDOWN, 10, 50);
    send(WM_LBUTTONUP, 12, 52);
    EXPECT_EQ(clicks, 1);
    send(WM_LBUTTONDOWN, 110, 15);
    send(WM_LBUTTONUP, 110, 15);
    send(WM_LBUTTONDOWN, 110, 15);
    send(WM_LBUTTONUP, 10, 50);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ToolkitTest, ModalFormCentresItsFixedClientArea) {
    TForm form(SmallForm("centred"));
    form.OnShow = [&] { form.Close(); };
    form.ShowModal();
    EXPECT_EQ(form.ClientWidth(), 200);
    EXPECT_EQ(form.ClientHeight(), 100);
    EXPECT_LE(std::abs(form.Left() + form.Width() / 2 - GetSystemMetrics(SM_CXSCREEN) / 2), 1);
    EXPECT_LE(std::abs(form.Top() + form.Height() / 2 - GetSystemMetrics(SM_CYSCREEN) / 2), 1);
    EXPECT_TRUE(GetWindowLongA(form.Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
}

TEST_F(ToolkitTest, ExceptionInAHandlerReachesTheApplication) {
    TForm form(SmallForm("throws"));
    TTimer timer;
    timer.SetInterval(10);
    std::string reported;
    Application().OnException = [&](const std::exception& e) { reported = e.what(); };
    int ticks = 0;
    timer.OnTimer = [&] {
        if (++ticks == 1) throw std::runtime_error("Cannot open file x.dat");
        form.Close();
    };
    timer.SetEnabled(true);
    form.ShowModal();
    Application().OnException = nullptr;
    EXPECT_EQ(reported, "Cannot open file x.dat");
    EXPECT_GE(ticks, 2);
}

TEST_F(ToolkitTest, ProcessMessagesRunsWhatIsPendingAndReturns) {
    TForm form(SmallForm("pending"));
    bool ran = false;
    TTimer timer;
    timer.SetInterval(1);
    timer.OnTimer = [&] { ran = true; };
    timer.SetEnabled(true);
    Sleep(20);
    Application().ProcessMessages();
    EXPECT_TRUE(ran);
}

TEST_F(ToolkitTest, ShadowLabelGrowsByTheShadowAndOffsetsIt) {
    TForm form(SmallForm("labels"));
    TShadowLabel label(&form);
    label.SetFont(TFont("Arial", 20, clBlack));
    label.SetCaption("Shadow");
    label.SetShadowSize(3);

    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, label.Font().Handle());
    SIZE text;
    GetTextExtentPoint32A(dc, "Shadow", 6, &text);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(label.Width(), text.cx + 3);
    EXPECT_EQ(label.Height(), text.cy + 3);

    const auto expect = [&](TShadowPosition pos, RECT textRect, RECT shadowRect) {
        label.SetShadowPos(pos);
        const RECT t = label.TextRect(), s = label.ShadowRect();
        EXPECT_TRUE(EqualRect(&t, &textRect)) << pos;
        EXPECT_TRUE(EqualRect(&s, &shadowRect)) << pos;
    };
    const int w = text.cx, h = text.cy;
    expect(spRightBottom, RECT{0, 0, w, h}, RECT{3, 3, w + 3, h + 3});
    expect(spLeftTop, RECT{3, 3, w + 3, h + 3}, RECT{0, 0, w, h});
    expect(spLeftBottom, RECT{3, 0, w + 3, h}, RECT{0, 3, w, h + 3});
    expect(spRightTop, RECT{0, 3, w, h + 3}, RECT{3, 0, w + 3, h});

    label.SetShadowSize(1);
    EXPECT_EQ(label.Width(), text.cx + 1);
}

TEST_F(ToolkitTest, ShadowLabelPaintsTheShadowBehindAndBesideTheText) {
    TForm form(SmallForm("paint"));
    TShadowLabel label(&form);
    label.SetTransparent(true);
    label.SetFont(TFont("Arial", 30, clBlack));
    label.SetCaption("I");
    label.SetShadowColor(clWhite);
    label.SetShadowSize(4);
    label.SetShadowPos(spRightBottom);

    test::TSurface surface(label.Width(), label.Height(), RGB(128, 128, 128));
    label.Paint(surface.DC);
    // The leftmost drawn column belongs to the text, the rightmost to the shadow 4 pixels further.
    int firstText = -1, lastShadow = -1, firstShadow = -1;
    for (int x = 0; x < label.Width(); ++x)
        for (int y = 0; y < label.Height(); ++y) {
            const COLORREF c = surface.At(x, y);
            if (c == RGB(0, 0, 0) && firstText < 0) firstText = x;
            if (c == RGB(255, 255, 255)) {
                if (firstShadow < 0) firstShadow = x;
                lastShadow = x;
            }
        }
    ASSERT_GE(firstText, 0);
    ASSERT_GE(firstShadow, 0);
    EXPECT_EQ(firstShadow, firstText + 4);
    EXPECT_GT(lastShadow, firstShadow);
}

TEST_F(ToolkitTest, RadioButtonsOfOneParentFormOneGroup) {
    TForm form(SmallForm("radios"));
    TRadioButton a(&form, {0, 0, 80, 17}), b(&form, {0, 20, 80, 17}), c(&form, {0, 40, 80, 17});
    b.SetCaption("B");
    EXPECT_EQ(b.Caption(), "B");
    a.SetChecked(true);
    b.SetChecked(true);
    EXPECT_FALSE(a.Checked());
    EXPECT_TRUE(b.Checked());
    EXPECT_EQ(SendMessageA(a.Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(b.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);

    bool clicked = false;
    c.OnClick = [&] { clicked = c.Checked(); };
    SendMessageA(c.Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(c.Checked());
    EXPECT_FALSE(b.Checked());
    EXPECT_EQ(SendMessageA(b.Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // Unchecking leaves the others alone.
    c.SetChecked(false);
    EXPECT_FALSE(a.Checked() || b.Checked() || c.Checked());

    // Another parent is another group.
    TPanel panel(&form, {100, 0, 90, 60});
    TRadioButton d(&panel);
    a.SetChecked(true);
    d.SetChecked(true);
    EXPECT_TRUE(a.Checked());
}

TEST_F(ToolkitTest, HiddenControlKeepsItsState) {
    TForm form(SmallForm("hidden"));
    TRadioButton r(&form);
    r.Hide();
    r.SetChecked(true);
    r.SetEnabled(false);
    EXPECT_FALSE(r.Visible());
    EXPECT_FALSE(IsWindowVisible(r.Handle()));
    EXPECT_TRUE(r.Checked());
    EXPECT_FALSE(IsWindowEnabled(r.Handle()));
}

} // namespace
} // namespace yar
