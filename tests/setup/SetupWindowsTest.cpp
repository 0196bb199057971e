// The driver's Windows side under Wine: the gradient painted into memory, the
// restart component, the windows of the run and the preset of the end choice.
#include "setup/FountainFill.h"
#include "setup/MainSetup.h"
#include "setup/Unzip.h"
#include "setup/WinReboot.h"
#include "system/FileServices.h"
#include "system/Streams.h"
#include "toolkit/Forms.h"
#include "toolkit/HighContrast.h"
#include "toolkit/Pictures.h"
#include "wizard/YAR.h"

#include "Surface.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace yar {
namespace {

using test::TSurface;

constexpr COLORREF kUnpainted = RGB(1, 2, 3);

class FountainTest : public ::testing::Test {
protected:
    TForm Parent{TFormDesign{}};
    TFountainFill Fill{&Parent};
};

TEST_F(FountainTest, DesignDefaults) {
    EXPECT_EQ(Fill.Width(), 50);
    EXPECT_EQ(Fill.Height(), 50);
    EXPECT_EQ(Fill.FromColor(), 16776960);
    EXPECT_EQ(Fill.ToColor(), 0);
    EXPECT_EQ(Fill.Steps(), 20);
    EXPECT_EQ(Fill.Style(), fsHorizontal);
    EXPECT_TRUE(Fill.UsePalette());
    EXPECT_FALSE(Fill.DrawOnScreen());
    EXPECT_TRUE(Fill.Opaque());
}

TEST_F(FountainTest, HorizontalBandsRunFromTopToBottom) {
    Fill.SetBounds(0, 0, 300, 600);
    Fill.SetFromColor(clBlue);
    Fill.SetToColor(clBlack);
    Fill.SetSteps(255);
    for (bool onScreen : {false, true}) {
        Fill.SetDrawOnScreen(onScreen);
        TSurface surface(300, 600, kUnpainted);
        Fill.Paint(surface.DC);
        EXPECT_EQ(surface.At(0, 0), RGB(0, 0, 255));
        EXPECT_EQ(surface.At(299, 599), RGB(0, 0, 0));
        // band i covers rows MulDiv(i, 600, 255) up to MulDiv(i + 1, 600, 255)
        EXPECT_EQ(surface.At(150, MulDiv(127, 600, 255)), RGB(0, 0, 127));
        int previous = 256;
        for (int y = 0; y < 600; ++y) {
            const COLORREF c = surface.At(150, y);
            ASSERT_EQ(GetRValue(c) | GetGValue(c), 0) << y;
            ASSERT_LE(GetBValue(c), previous) << y;
            previous = GetBValue(c);
        }
    }
}

TEST_F(FountainTest, VerticalTwoStepsSplitLeftAndRight) {
    Fill.SetBounds(0, 0, 100, 40);
    Fill.SetFromColor(RGB(200, 10, 10));
    Fill.SetToColor(RGB(10, 200, 10));
    Fill.SetSteps(2);
    Fill.SetStyle(fsVertical);
    TSurface surface(100, 40, kUnpainted);
    Fill.Paint(surface.DC);
    EXPECT_EQ(surface.At(0, 20), RGB(200, 10, 10));
    EXPECT_EQ(surface.At(49, 39), RGB(200, 10, 10));
    EXPECT_EQ(surface.At(50, 0), RGB(10, 200, 10));
    EXPECT_EQ(surface.At(99, 39), RGB(10, 200, 10));
}

TEST_F(FountainTest, CircularCornersTakeTheFirstColourAndTheCentreTheLast) {
    Fill.SetBounds(0, 0, 300, 400);
    Fill.SetFromColor(RGB(255, 0, 0));
    Fill.SetToColor(RGB(0, 0, 255));
    Fill.SetSteps(5);
    Fill.SetStyle(fsCircular);
    TSurface surface(300, 400, kUnpainted);
    Fill.Paint(surface.DC);
    for (POINT p : {POINT{0, 0}, POINT{299, 0}, POINT{0, 399}, POINT{299, 399}})
        EXPECT_EQ(surface.At(p.x, p.y), RGB(255, 0, 0)) << p.x << "," << p.y;
    EXPECT_EQ(surface.At(150, 200), RGB(0, 0, 255));
}

TEST_F(FountainTest, FlatFillWithoutPalette) {
    Fill.SetBounds(0, 0, 40, 30);
    Fill.SetFromColor(RGB(12, 34, 56));
    Fill.SetToColor(RGB(200, 200, 200));
    Fill.SetSteps(1);
    TSurface surface(40, 30, kUnpainted);
    Fill.Paint(surface.DC);
    EXPECT_EQ(Fill.Palette(), nullptr);
    for (int y = 0; y < 30; y += 7)
        for (int x = 0; x < 40; x += 9) ASSERT_EQ(surface.At(x, y), RGB(12, 34, 56));

    Fill.SetSteps(20);
    Fill.SetToColor(RGB(12, 34, 56)); // equal end colours: also one flat fill
    TSurface again(40, 30, kUnpainted);
    Fill.Paint(again.DC);
    EXPECT_EQ(Fill.Palette(), nullptr);
    EXPECT_EQ(again.At(39, 29), RGB(12, 34, 56));
}

TEST_F(FountainTest, PaletteHoldsTheBandColoursAndLivesUntilAColourChange) {
    Fill.SetBounds(0, 0, 20, 20);
    Fill.SetFromColor(clBlue);
    Fill.SetToColor(clBlack);
    Fill.SetSteps(10);
    TSurface surface(20, 20, kUnpainted);
    Fill.Paint(surface.DC);
    HPALETTE palette = Fill.Palette();
    ASSERT_NE(palette, nullptr);
    PALETTEENTRY entries[16] = {};
    ASSERT_EQ(GetPaletteEntries(palette, 0, 16, entries), 10u);
    EXPECT_EQ(RGB(entries[0].peRed, entries[0].peGreen, entries[0].peBlue), RGB(0, 0, 255));
    EXPECT_EQ(RGB(entries[9].peRed, entries[9].peGreen, entries[9].peBlue), RGB(0, 0, 0));
    EXPECT_EQ(entries[4].peFlags, 0);

    Fill.SetStyle(fsVertical); // the style keeps the palette
    EXPECT_EQ(Fill.Palette(), palette);
    Fill.SetSteps(0); // clamped to 1: a change, so the palette goes
    EXPECT_EQ(Fill.Steps(), 1);
    EXPECT_EQ(Fill.Palette(), nullptr);
    Fill.SetSteps(300);
    EXPECT_EQ(Fill.Steps(), 255);
    Fill.Paint(surface.DC);
    EXPECT_NE(Fill.Palette(), nullptr);
    Fill.SetUsePalette(false);
    EXPECT_EQ(Fill.Palette(), nullptr);
    Fill.Paint(surface.DC);
    EXPECT_EQ(Fill.Palette(), nullptr);
}

TEST_F(FountainTest, SystemColoursAreTurnedIntoRgbFirst) {
    Fill.SetBounds(0, 0, 10, 100);
    Fill.SetFromColor(clBtnFace);
    Fill.SetToColor(clBlack);
    Fill.SetSteps(4);
    TSurface surface(10, 100, kUnpainted);
    Fill.Paint(surface.DC);
    EXPECT_EQ(surface.At(5, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(surface.At(5, 99), RGB(0, 0, 0));
}

TEST_F(FountainTest, NoBitmapForTheAreaFallsBackToDrawingDirectly) {
    // No bitmap of this size can be made; the surface still gets its bands.
    Fill.SetBounds(0, 0, 60000, 60000);
    Fill.SetFromColor(RGB(0, 255, 0));
    Fill.SetToColor(RGB(0, 0, 0));
    Fill.SetSteps(2);
    TSurface surface(30, 30, kUnpainted);
    Fill.Paint(surface.DC);
    EXPECT_EQ(surface.At(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(surface.At(29, 29), RGB(0, 255, 0));
}

TEST(MulDivRounding, MatchesTheSystem) {
    for (int a : {-7, -3, -1, 0, 1, 2, 3, 5, 127, 254, 1000003})
        for (int b : {-255, -9, -1, 0, 1, 7, 255, 600})
            for (int c : {-4, -2, -1, 1, 2, 3, 4, 254, 255})
                ASSERT_EQ(WinMulDiv(a, b, c), MulDiv(a, b, c)) << a << " " << b << " " << c;
    EXPECT_EQ(WinMulDiv(3, 3, 0), MulDiv(3, 3, 0));
}

TEST(WinReboot, SwitchesKnownPrivilegesOnly) {
    const TWinReboot reboot;
    EXPECT_TRUE(reboot.AdjustPrivilege("SeShutdownPrivilege", true));
    EXPECT_TRUE(reboot.AdjustPrivilege("SeShutdownPrivilege", false));
    EXPECT_FALSE(reboot.AdjustPrivilege("SeNoSuchPrivilege", true));
}

std::unique_ptr<TSetupWizard> MakeWizard(const TWizardLinks& links) {
    return std::make_unique<TYAR>(links);
}

TEST(RunWindows, CaptionsFramesAndCreationOrder) {
    const TGdiplusSession pictures; // the preparation window's animated icon
    TMainSetup main(MakeWizard);
    EXPECT_EQ(main.Caption(), "YAR 32Bit Installer");
    EXPECT_EQ(GetWindowLongA(main.Handle(), GWL_STYLE) & WS_CAPTION, 0);
    const auto& wizard = dynamic_cast<const TYAR&>(main.Wizard());
    EXPECT_EQ(wizard.Caption(), "YAR32 - Setup");
    EXPECT_TRUE(GetWindowLongA(wizard.Handle(), GWL_STYLE) & WS_SYSMENU);
    // The wizard belongs to the background window, so it stays above it.
    EXPECT_EQ(GetWindow(wizard.Handle(), GW_OWNER), main.Handle());

    TUnzip unzip(main);
    EXPECT_EQ(unzip.Caption(), "Preparing YAR Setup");
    EXPECT_EQ(unzip.ClientWidth(), 375);
    EXPECT_EQ(unzip.ClientHeight(), 92);
    EXPECT_EQ(GetWindowLongA(unzip.Handle(), GWL_STYLE) & WS_SYSMENU, 0);
    EXPECT_TRUE(GetWindowLongA(unzip.Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    // The preparation window belongs to the background window as well.
    EXPECT_EQ(GetWindow(unzip.Handle(), GW_OWNER), main.Handle());
}

TEST(RunWindows, BackgroundDesignAndLayoutOnResize) {
    const TGdiplusSession pictures;
    TMainSetup main(MakeWizard);
    EXPECT_EQ(main.MainScreen.FromColor(), 16711680);
    EXPECT_EQ(main.MainScreen.ToColor(), 0);
    EXPECT_EQ(main.MainScreen.Steps(), 255);
    EXPECT_EQ(main.Setup_Header.Font().Name(), "Impact");
    EXPECT_EQ(main.Setup_Header.Font().Height(), 35);
    EXPECT_EQ(main.Setup_Header.ShadowSize(), 2);
    EXPECT_EQ(main.Setup_Header2.Caption(), kBuiltInHeader2);
    EXPECT_EQ(main.Setup_Header2.Left(), 18);
    EXPECT_FALSE(main.Timer1.Enabled());
    EXPECT_EQ(main.Timer1.Interval(), 1000u);
    EXPECT_FALSE(main.bitmapscreen.Visible());

    main.SetBounds(0, 0, 800, 500);
    EXPECT_EQ(main.MainScreen.Width(), 800);
    EXPECT_EQ(main.MainScreen.Height(), 500);
    EXPECT_EQ(main.Footer.Left(), 0);
    EXPECT_EQ(main.Footer.Width(), 800);
    EXPECT_EQ(main.Footer.Top(), 500 - main.Footer.Height() - 10);
    EXPECT_EQ(main.Setup_Header.Top(), 1);
    EXPECT_EQ(main.Setup_Header2.Top(), 1 + main.Setup_Header.Height() + 2);
}

TEST(RunWindows, TheBackgroundAt200PercentKeepsItsLayoutInProportion) {
    const TGdiplusSession pictures;
    TMainSetup main(MakeWizard);
    const int headerHeight = main.Setup_Header.Height();
    // As Windows tells a window that moved to a monitor of 192 pixels per inch.
    const RECT suggested{0, 0, 1600, 1000};
    SendMessageA(main.Handle(), 0x02E0, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(main.MainScreen.Width(), 1600);
    EXPECT_EQ(main.MainScreen.Height(), 1000);
    EXPECT_EQ(main.Footer.Top(), 1000 - main.Footer.Height() - 20);
    EXPECT_EQ(main.Setup_Header.Left(), 16);
    EXPECT_EQ(main.Setup_Header.Top(), 2);
    EXPECT_EQ(main.Setup_Header2.Left(), 36);
    EXPECT_EQ(main.Setup_Header2.Top(), 2 + main.Setup_Header.Height() + 4);
    EXPECT_NEAR(main.Setup_Header.Height(), 2 * headerHeight, 4);
    EXPECT_EQ(main.bitmapscreen.Width(), 370);
}

bool gContrast = false;
bool ContrastQuery() {
    return gContrast;
}

TEST(RunWindows, TheBackgroundInHighContrastTakesTheThemesColours) {
    const TGdiplusSession pictures;
    TMainSetup main(MakeWizard);
    main.SetBounds(0, 0, 400, 300);
    TFont font = main.Setup_Header.Font();
    font.SetColor(clNavy);
    main.Setup_Header.SetFont(font);
    main.Setup_Header.SetShadowColor(clAqua);
    SetHighContrastQuery(ContrastQuery);
    struct TRestore {
        ~TRestore() { SetHighContrastQuery(nullptr); }
    } restore;

    const auto paintAll = [&](TControl& control, TGraphicControl& painter) {
        auto surface = std::make_unique<TSurface>(control.Width(), control.Height(), kUnpainted);
        painter.Paint(surface->DC);
        return surface;
    };
    for (const bool on : {true, false}) {
        gContrast = on;
        SendMessageA(main.Handle(), WM_SYSCOLORCHANGE, 0, 0);
        const auto screen = paintAll(main.MainScreen, main.MainScreen);
        const RECT all{0, 0, 400, 300};
        if (on)
            EXPECT_EQ(screen->Count(all, GetSysColor(COLOR_WINDOW)), 400 * 300)
                << "the theme's window colour";
        else
            EXPECT_EQ(screen->At(0, 0), RGB(0, 0, 255)) << "the gradient again";
        const auto header = paintAll(main.Setup_Header, main.Setup_Header);
        const RECT text{0, 0, main.Setup_Header.Width(), main.Setup_Header.Height()};
        EXPECT_EQ(header->Count(text, RGB(0, 0, 128)) > 0, !on) << "the design's text colour";
        EXPECT_EQ(header->Count(text, RGB(0, 255, 255)) > 0, !on) << "the shadow";
        EXPECT_EQ(header->Count(text, GetSysColor(COLOR_WINDOWTEXT)) > 50, on) << "the theme's text colour";
    }
}

} // namespace
} // namespace yar
