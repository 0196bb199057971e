// Progress under Wine: the system's progress bar keeps range and position in its window; the bar
// gauge's arithmetic, and its percentage painted on the bar in the colour of the other part.
#include "SmallForm.h"
#include "Surface.h"

#include "toolkit/ComCtrls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/Gauges.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace yar {
namespace {

using test::SmallForm;
using test::TSurface;
using test::TWindowShot;

TEST(ProgressBar, RangeAndPositionAreTheWindowsAndStepsStopAtTheMaximum) {
    TForm form(SmallForm("progress"));
    TProgressBar bar(&form, {10, 10, 180, 16});
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    bar.SetRange(0, 10);
    EXPECT_EQ(SendMessageA(bar.Handle(), PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessageA(bar.Handle(), PBM_GETRANGE, FALSE, 0), 10);
    bar.SetPosition(4);
    EXPECT_EQ(SendMessageA(bar.Handle(), PBM_GETPOS, 0, 0), 4);
    bar.SetStep(3);
    bar.StepIt();
    EXPECT_EQ(bar.Position(), 7);
    bar.StepIt();
    EXPECT_EQ(bar.Position(), 10);
    bar.StepIt();
    EXPECT_EQ(bar.Position(), 10);
    bar.SetPosition(-5);
    EXPECT_EQ(bar.Position(), 0);
    bar.SetMax(200000); // beyond 16 bits
    EXPECT_EQ(bar.Max(), 200000);
    bar.SetPosition(150000);
    EXPECT_EQ(SendMessageA(bar.Handle(), PBM_GETPOS, 0, 0), 150000);
}

TEST(Gauge, ProgressStaysInItsRangeAndPercentIsRoundedDown) {
    TForm form(SmallForm("gauge"));
    TGauge gauge(&form);
    EXPECT_EQ(gauge.PercentText(), "0%");
    gauge.SetMaxValue(7);
    gauge.SetProgress(3);
    EXPECT_EQ(gauge.PercentDone(), 42); // 42.86
    EXPECT_EQ(gauge.PercentText(), "42%");
    gauge.AddProgress(10);
    EXPECT_EQ(gauge.Progress(), 7);
    EXPECT_EQ(gauge.PercentDone(), 100);
    gauge.SetMaxValue(5);
    EXPECT_EQ(gauge.Progress(), 5);
    gauge.SetRange(10, 20);
    EXPECT_EQ(gauge.Progress(), 10);
    EXPECT_EQ(gauge.PercentDone(), 0);
    gauge.SetProgress(-3);
    EXPECT_EQ(gauge.Progress(), 10);
    gauge.SetRange(4, 4);
    EXPECT_EQ(gauge.PercentDone(), 0);
    EXPECT_THROW(gauge.SetRange(5, 4), std::invalid_argument);
    EXPECT_EQ(gauge.MinValue(), 4);
}

constexpr COLORREF kBar = RGB(0, 0, 128);
constexpr COLORREF kBack = RGB(192, 192, 192);

class GaugePaintTest : public ::testing::Test {
protected:
    TForm Form{SmallForm("gauge paint")};
    TGauge Gauge{&Form, {0, 0, 300, 23}};

    void SetUp() override {
        Gauge.SetForeColor(kBar);
        Gauge.SetColor(kBack);
        Gauge.SetFont(TFont("Arial", 16, clBlack));
    }
    // The text alone, drawn centred in the given colour on the given background.
    void DrawReference(TSurface& surface, const std::string& text, COLORREF color) const {
        SelectObject(surface.DC, Gauge.Font().Handle());
        SetBkMode(surface.DC, TRANSPARENT);
        SetTextColor(surface.DC, color);
        RECT r{0, 0, surface.Width(), surface.Height()};
        DrawTextA(surface.DC, text.c_str(), static_cast<int>(text.size()), &r,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
};

TEST_F(GaugePaintTest, PaintsThePercentageCentredOnTheBar) {
    Gauge.SetProgress(42);
    TSurface painted(300, 23, RGB(1, 2, 3));
    Gauge.Paint(painted.DC);
    TSurface reference(300, 23, kBack);
    DrawReference(reference, "42%", kBar);

    // 42% of 300 pixels is bar; the text, left of the middle yet right of the bar, is exactly the
    // reference's.
    const int done = 126;
    EXPECT_EQ(painted.Count(RECT{0, 0, done, 23}, kBar), done * 23);
    int differences = 0, textPixels = 0;
    for (int y = 0; y < 23; ++y)
        for (int x = done; x < 300; ++x) {
            differences += painted.At(x, y) != reference.At(x, y) ? 1 : 0;
            textPixels += reference.At(x, y) != kBack ? 1 : 0;
        }
    EXPECT_EQ(differences, 0);
    EXPECT_GT(textPixels, 30);
    // Another percentage draws other pixels.
    TSurface other(300, 23, kBack);
    DrawReference(other, "43%", kBar);
    int otherDifferences = 0;
    for (int y = 0; y < 23; ++y)
        for (int x = done; x < 300; ++x) otherDifferences += painted.At(x, y) != other.At(x, y) ? 1 : 0;
    EXPECT_GT(otherDifferences, 0);

    Gauge.SetShowText(false);
    TSurface plain(300, 23, RGB(1, 2, 3));
    Gauge.Paint(plain.DC);
    EXPECT_EQ(plain.Count(RECT{done, 0, 300, 23}, kBack), (300 - done) * 23);
}

TEST_F(GaugePaintTest, TextOverTheBarTakesTheBackgroundColour) {
    Gauge.SetProgress(50);
    TSurface painted(300, 23, RGB(1, 2, 3));
    Gauge.Paint(painted.DC);
    TSurface reference(300, 23, kBar);
    DrawReference(reference, "50%", kBack);
    // Left of the middle the text is the reference drawn in the background colour on the bar.
    int differences = 0;
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 150; ++x) differences += painted.At(x, y) != reference.At(x, y) ? 1 : 0;
    EXPECT_EQ(differences, 0);
    EXPECT_GT(painted.Count(RECT{130, 0, 150, 23}, kBack), 5);
    EXPECT_GT(painted.Count(RECT{150, 0, 170, 23}, kBar), 5);
}

TEST(Gauge, ShowsInASingleBorderedPanelAndFollowsItsProgress) {
    TForm form(SmallForm("panel"));
    TPanel panel(&form, {10, 10, 180, 25});
    panel.SetBevelOuter(bvNone);
    panel.SetSingleBorder(true);
    TGauge gauge(&panel);
    gauge.SetAlign(alClient);
    gauge.SetForeColor(kBar);
    gauge.SetColor(kBack);
    gauge.SetShowText(false);
    gauge.SetMaxValue(4);
    gauge.SetProgress(1);
    form.Show();
    EXPECT_EQ(gauge.Width(), 178);

    const TWindowShot quarter(panel.Handle());
    EXPECT_EQ(quarter.At(0, 10), GetSysColor(COLOR_WINDOWFRAME)); // the border
    EXPECT_EQ(quarter.At(2, 10), kBar);
    EXPECT_EQ(quarter.At(1 + 178 / 4 + 2, 10), kBack);
    gauge.SetProgress(3);
    const TWindowShot most(panel.Handle());
    EXPECT_EQ(most.At(1 + 178 / 4 + 2, 10), kBar);
    EXPECT_EQ(most.At(1 + 178 * 3 / 4 + 2, 10), kBack);
}

} // namespace
} // namespace yar
