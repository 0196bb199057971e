// High contrast under Wine, which has none of its own: the toolkit's query is replaced, the system's
// colours are set to a theme's, and the windows the toolkit paints take them once the form hears that
// the colours changed, and give them back when high contrast goes off.
#include "SmallForm.h"
#include "Surface.h"

#include "toolkit/Forms.h"
#include "toolkit/Gauges.h"
#include "toolkit/GradientCaption.h"
#include "toolkit/HighContrast.h"
#include "toolkit/StdCtrls.h"

#include <gtest/gtest.h>

#include <array>

namespace yar {
namespace {

using test::SmallForm;
using test::TSurface;
using test::TWindowShot;

bool gContrast = false;
bool ContrastQuery() {
    return gContrast;
}

// A black theme's colours, none of them a default of the system or a colour of the design.
constexpr std::array<int, 6> kElements{COLOR_WINDOW,        COLOR_WINDOWTEXT,    COLOR_HIGHLIGHT,
                                       COLOR_HIGHLIGHTTEXT, COLOR_ACTIVECAPTION, COLOR_CAPTIONTEXT};
constexpr std::array<COLORREF, 6> kTheme{RGB(0, 0, 1), RGB(255, 255, 2), RGB(0, 255, 3),
                                         RGB(4, 0, 0), RGB(128, 0, 129), RGB(250, 250, 250)};

class HighContrastTest : public ::testing::Test {
protected:
    TForm Form{SmallForm("contrast")};
    TGauge Gauge{&Form, {0, 0, 120, 20}};
    TLabel Label{&Form, {0, 30}};
    std::array<COLORREF, 6> Saved{};

    void SetUp() override {
        for (size_t i = 0; i < kElements.size(); ++i) Saved[i] = GetSysColor(kElements[i]);
        SetSysColors(static_cast<int>(kElements.size()), kElements.data(), kTheme.data());
        SetHighContrastQuery(ContrastQuery);
        Form.SetColor(clAqua);
        Gauge.SetForeColor(clNavy);
        Gauge.SetColor(clWhite);
        Gauge.SetProgress(50);
        Gauge.SetShowText(false);
        Label.SetFont(TFont("Arial", 16, clNavy));
        Label.SetColor(clSilver);
        Label.SetCaption("Text");
    }
    void TearDown() override {
        Switch(false, WM_SETTINGCHANGE);
        SetHighContrastQuery(nullptr);
        SetSysColors(static_cast<int>(kElements.size()), kElements.data(), Saved.data());
    }
    // Turns high contrast on or off as the system would, telling the form by the message.
    void Switch(bool on, UINT message) {
        gContrast = on;
        SendMessageA(Form.Handle(), message, 0, 0);
    }
};

TEST_F(HighContrastTest, PaintedControlsTakeTheThemesColoursWhileItIsOn) {
    for (const UINT message : {UINT{WM_SYSCOLORCHANGE}, UINT{WM_SETTINGCHANGE}}) {
        Switch(true, message);
        ASSERT_TRUE(HighContrastOn()) << message;
        TSurface gauge(120, 20, RGB(9, 9, 9));
        Gauge.Paint(gauge.DC);
        EXPECT_EQ(gauge.Count(RECT{0, 0, 60, 20}, kTheme[2]), 60 * 20) << "done: the selection colour";
        EXPECT_EQ(gauge.Count(RECT{60, 0, 120, 20}, kTheme[0]), 60 * 20) << "rest: the window colour";

        TSurface label(Label.Width(), Label.Height(), RGB(9, 9, 9));
        Label.Paint(label.DC);
        const RECT all{0, 0, Label.Width(), Label.Height()};
        EXPECT_GT(label.Count(all, kTheme[1]), 10) << "text in the window text colour";
        EXPECT_EQ(label.Count(all, ColorToRGB(clNavy)), 0);
        EXPECT_EQ(label.Count(all, ColorToRGB(clSilver)), 0);
        EXPECT_GT(label.Count(all, kTheme[0]), 10) << "on the window colour";

        // The form's own surface, beside its controls.
        Form.Show();
        const TWindowShot shot(Form.Handle());
        POINT inside{150, 80};
        ClientToScreen(Form.Handle(), &inside);
        RECT frame;
        GetWindowRect(Form.Handle(), &frame);
        EXPECT_EQ(shot.At(inside.x - frame.left, inside.y - frame.top), kTheme[0]);

        Switch(false, message);
        ASSERT_FALSE(HighContrastOn());
        TSurface plain(120, 20, RGB(9, 9, 9));
        Gauge.Paint(plain.DC);
        EXPECT_EQ(plain.Count(RECT{0, 0, 60, 20}, ColorToRGB(clNavy)), 60 * 20) << "the design's again";
        EXPECT_EQ(plain.Count(RECT{60, 0, 120, 20}, ColorToRGB(clWhite)), 60 * 20);
    }
}

TEST_F(HighContrastTest, ColoursOfTheDesignGiveWayOnlyWhenFixed) {
    Switch(true, WM_SYSCOLORCHANGE);
    EXPECT_EQ(ContrastColor(clNavy, clWindow), clWindow);
    EXPECT_EQ(ContrastColor(clBtnFace, clWindow), clBtnFace) << "a system colour follows the theme already";
    Switch(false, WM_SYSCOLORCHANGE);
    EXPECT_EQ(ContrastColor(clNavy, clWindow), clNavy);
}

TEST_F(HighContrastTest, TheGradientCaptionTakesTheThemesCaptionColours) {
    Form.Show();
    SetActiveWindow(Form.Handle());
    TGradientCaption bar(Form);
    bar.SetActiveStartColor(RGB(0, 0, 128));
    bar.SetActiveEndColor(RGB(0, 0, 0));
    bar.SetActiveTextColor(RGB(1, 2, 3));
    ASSERT_TRUE(bar.FormActive());
    Switch(true, WM_SYSCOLORCHANGE);
    const RECT r = bar.CaptionRect();
    const TWindowShot shot(Form.Handle());
    const int width = r.right - r.left;
    EXPECT_EQ(shot.Count(RECT{r.left, r.top, r.right, r.top + 1}, kTheme[4]), width) << "one flat bar";
    EXPECT_GT(shot.Count(r, kTheme[5]), 10) << "the text in the caption text colour";
    EXPECT_EQ(shot.Count(r, RGB(1, 2, 3)), 0) << "nothing in the design's text colour";
    EXPECT_EQ(shot.Count(r, RGB(0, 0, 128)), 0);
}

} // namespace
} // namespace yar
