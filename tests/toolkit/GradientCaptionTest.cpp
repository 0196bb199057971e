// The gradient caption bar under Wine: every band of an active and an inactive form read back from
// the screen, the bold title and the caption, repainting after a new caption, printing, and the
// system's caption back once the bar is gone.
#include "SmallForm.h"
#include "Surface.h"

#include "toolkit/Application.h"
#include "toolkit/Forms.h"
#include "toolkit/GradientCaption.h"

#include <gtest/gtest.h>

#include <memory>

namespace yar {
namespace {

using test::SmallForm;
using test::TSurface;
using test::TWindowShot;

constexpr COLORREF kStart = RGB(10, 120, 30);
constexpr COLORREF kEnd = RGB(250, 20, 200);
constexpr COLORREF kText = RGB(255, 255, 0);

// The band colours along the bar's top row, which the text does not reach.
void ExpectBands(const TSurface& shot, const RECT& bar, COLORREF from, COLORREF to, int n) {
    const int width = bar.right - bar.left;
    for (int i = 0; i < n; ++i) {
        const COLORREF expected = GradientColor(from, to, i, n);
        const int left = bar.left + MulDiv(i, width, n), right = bar.left + MulDiv(i + 1, width, n);
        EXPECT_EQ(shot.At(left, bar.top), expected) << "band " << i;
        EXPECT_EQ(shot.At(right - 1, bar.top), expected) << "band " << i;
    }
}

class GradientCaptionTest : public ::testing::Test {
protected:
    TForm Form{SmallForm("Preparing YAR Setup")};
    std::unique_ptr<TGradientCaption> Bar;

    void SetUp() override {
        Application().SetTitle("YAR Setup");
        Form.Show();
        SetActiveWindow(Form.Handle());
        Bar = std::make_unique<TGradientCaption>(Form);
        Bar->SetActiveStartColor(kStart);
        Bar->SetActiveEndColor(kEnd);
        Bar->SetActiveTextColor(kText);
    }
    void TearDown() override { Application().SetTitle(""); }

    // The caption font of a tool window, in bold or not.
    static HFONT CaptionFont(bool bold) {
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        LOGFONTA lf = metrics.lfSmCaptionFont;
        lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        return CreateFontIndirectA(&lf);
    }
    // Draws the text vertically centred in the area from its left; returns where it ended.
    static int DrawPart(HDC dc, const std::string& text, bool bold, RECT area) {
        HFONT font = CaptionFont(bold);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE size{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        SelectObject(dc, old);
        DeleteObject(font);
        return area.left + size.cx;
    }
};

TEST_F(GradientCaptionTest, AnActiveFormShowsItsColoursInSixtyFourBands) {
    ASSERT_TRUE(Bar->FormActive());
    EXPECT_EQ(Bar->NumColors(), 64);
    const RECT bar = Bar->CaptionRect();
    EXPECT_GT(bar.right - bar.left, 190);
    EXPECT_GT(bar.bottom - bar.top, 8);
    const TWindowShot shot(Form.Handle());
    ExpectBands(shot, bar, kStart, kEnd, 64);
}

TEST_F(GradientCaptionTest, AnInactiveFormShowsGrayToSilver) {
    EXPECT_EQ(Bar->InactiveStartColor(), clGray);
    EXPECT_EQ(Bar->InactiveEndColor(), clSilver);
    EXPECT_EQ(Bar->InactiveTextColor(), clSilver);
    Bar->SetInactiveTextColor(RGB(0, 0, 0));
    TForm other(SmallForm("other"));
    other.Show();
    SetActiveWindow(other.Handle());
    ASSERT_FALSE(Bar->FormActive());
    const RECT bar = Bar->CaptionRect();
    const TWindowShot shot(Form.Handle());
    ExpectBands(shot, bar, RGB(128, 128, 128), RGB(192, 192, 192), 64);
    EXPECT_GT(shot.Count(bar, RGB(0, 0, 0)), 10);
    EXPECT_EQ(shot.Count(bar, kText), 0);

    SetActiveWindow(Form.Handle());
    EXPECT_TRUE(Bar->FormActive());
    ExpectBands(TWindowShot(Form.Handle(), false), bar, kStart, kEnd, 64);
}

TEST_F(GradientCaptionTest, TheTitleInBoldThenTheCaption) {
    EXPECT_EQ(Bar->BoldText(), "YAR Setup");
    EXPECT_EQ(Bar->PlainText(), " - Preparing YAR Setup");
    Form.SetClientSize(400, 100); // room for all of it
    Bar->SetActiveEndColor(kStart);
    const RECT bar = Bar->CaptionRect();
    const TWindowShot shot(Form.Handle());

    // The same text drawn on the same colour: the title in bold 3 pixels in, the rest after it.
    TSurface expected(shot.Width(), shot.Height(), kStart);
    SetBkMode(expected.DC, TRANSPARENT);
    SetTextColor(expected.DC, kText);
    RECT area{bar.left + 3, bar.top, bar.right, bar.bottom};
    area.left = DrawPart(expected.DC, "YAR Setup", true, area);
    const int end = DrawPart(expected.DC, " - Preparing YAR Setup", false, area);
    ASSERT_LT(end, bar.right - 30);
    int differences = 0;
    for (int y = bar.top; y < bar.bottom; ++y)
        for (int x = bar.left; x < bar.right - 30; ++x)
            differences += shot.At(x, y) != expected.At(x, y) ? 1 : 0;
    EXPECT_EQ(differences, 0);
    EXPECT_GT(shot.Count(bar, kText), 20);

    Application().SetTitle("");
    EXPECT_EQ(Bar->PlainText(), "Preparing YAR Setup");
}

TEST_F(GradientCaptionTest, ANewCaptionIsPaintedOnTheBandsAtOnce) {
    const RECT bar = Bar->CaptionRect();
    Form.SetCaption("YAR32 - Setup");
    EXPECT_EQ(Bar->PlainText(), " - YAR32 - Setup");
    // As the window shows it now, without asking it to paint again.
    ExpectBands(TWindowShot(Form.Handle(), false), bar, kStart, kEnd, 64);
}

TEST_F(GradientCaptionTest, FewerBandsAndOneColour) {
    Bar->SetNumColors(300);
    EXPECT_EQ(Bar->NumColors(), 255);
    Bar->SetNumColors(2);
    const RECT bar = Bar->CaptionRect();
    ExpectBands(TWindowShot(Form.Handle()), bar, kStart, kEnd, 2);
    Bar->SetActiveEndColor(kStart);
    ExpectBands(TWindowShot(Form.Handle()), bar, kStart, kStart, 1);
}

TEST_F(GradientCaptionTest, PrintingTheFrameShowsTheBar) {
    RECT window;
    GetWindowRect(Form.Handle(), &window);
    TSurface printed(window.right - window.left, window.bottom - window.top, RGB(1, 2, 3));
    SendMessageA(Form.Handle(), WM_PRINT, reinterpret_cast<WPARAM>(printed.DC), PRF_NONCLIENT);
    ExpectBands(printed, Bar->CaptionRect(), kStart, kEnd, 64);
}

TEST_F(GradientCaptionTest, TheSystemsCaptionComesBackOnceTheBarIsGone) {
    const RECT bar = Bar->CaptionRect();
    Bar.reset();
    const TWindowShot shot(Form.Handle(), false);
    EXPECT_EQ(shot.Count(RECT{bar.left, bar.top, bar.left + 3, bar.top + 1}, kStart), 0);
    // The form's paint goes on without the bar.
    const TWindowShot again(Form.Handle());
    EXPECT_NE(again.At(bar.left, bar.top), kStart);
}

} // namespace
} // namespace yar
