// A form moved to a monitor of another resolution (WM_DPICHANGED, as the system sends it): every control
// placed, sized and given fonts for it, the form put in the rectangle the system suggests, and the way
// back to 96 pixels per inch giving the first layout again.
#include "SmallForm.h"

#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

using test::SmallForm;

constexpr UINT kDpiChanged = 0x02E0;

RECT RectIn(HWND window, HWND parent) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The character height of the font the window draws with.
int FontHeight(HWND window) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return -font.lfHeight;
}

void MoveTo(TForm& form, int ppi, const RECT& suggested) {
    SendMessageA(form.Handle(), kDpiChanged, MAKEWPARAM(ppi, ppi), reinterpret_cast<LPARAM>(&suggested));
}

TEST(Scaling, AFormMovedToAnotherResolutionLaysItselfOutForIt) {
    TForm form(SmallForm("scaling"));
    ASSERT_EQ(form.PixelsPerInch(), 96) << "the test's prefix runs at 96 pixels per inch";
    TPanel panel(&form, {5, 6, 150, 80});
    panel.SetFont(TFont("Arial", 14, clNavy));
    TRadioButton radio(&panel, {7, 8, 90, 20});
    TLabel label(&panel, {7, 40});
    label.SetCaption("Text");
    TNotebook book(&form, {160, 0, 40, 50});
    TPage page(&book);
    const int labelHeight = label.Height();
    const int labelWidth = label.Width();

    struct TStep {
        int PixelsPerInch;
        RECT Suggested;
    };
    for (const TStep& step : {TStep{192, {30, 40, 30 + 420, 40 + 260}}, TStep{144, {0, 0, 320, 190}},
                              TStep{96, {10, 10, 10 + 220, 10 + 130}}}) {
        const int ppi = step.PixelsPerInch;
        MoveTo(form, ppi, step.Suggested);
        const auto scaled = [ppi](int design) { return MulDiv(design, ppi, 96); };
        SCOPED_TRACE(ppi);

        RECT window;
        GetWindowRect(form.Handle(), &window);
        EXPECT_TRUE(EqualRect(&window, &step.Suggested)) << "the system's suggested rectangle";
        for (const TControl* c : {static_cast<const TControl*>(&form), static_cast<const TControl*>(&radio),
                                  static_cast<const TControl*>(&label), static_cast<const TControl*>(&page)})
            EXPECT_EQ(c->PixelsPerInch(), ppi);

        const RECT p = RectIn(panel.Handle(), form.Handle());
        EXPECT_EQ(p.left, scaled(5));
        EXPECT_EQ(p.top, scaled(6));
        EXPECT_EQ(p.right, scaled(155));
        EXPECT_EQ(p.bottom, scaled(86));
        const RECT r = RectIn(radio.Handle(), panel.Handle());
        EXPECT_EQ(r.left, scaled(7));
        EXPECT_EQ(r.bottom - r.top, scaled(28) - scaled(8));
        // Fonts made for the resolution, not stretched: the windows' own and the label's measure.
        EXPECT_EQ(FontHeight(radio.Handle()), scaled(14));
        EXPECT_EQ(label.Left(), scaled(7));
        EXPECT_NEAR(label.Height(), scaled(labelHeight), ppi / 48);
        EXPECT_NEAR(label.Width(), scaled(labelWidth), ppi / 24);
        // A page fills its notebook exactly.
        EXPECT_EQ(page.Width(), book.Width());
        EXPECT_EQ(page.Height(), book.Height());
        EXPECT_EQ(book.Width(), scaled(200) - scaled(160));
    }
    EXPECT_EQ(label.Height(), labelHeight) << "back at 96: the first layout";
    EXPECT_EQ(label.Width(), labelWidth);
}

TEST(Scaling, ControlsMadeOnAScaledFormAreScaledFromTheirDesign) {
    TForm form(SmallForm("made later"));
    MoveTo(form, 192, RECT{0, 0, 420, 260});
    TButton button(&form, {8, 10, 75, 25});
    const RECT b = RectIn(button.Handle(), form.Handle());
    EXPECT_EQ(b.left, 16);
    EXPECT_EQ(b.top, 20);
    EXPECT_EQ(b.right - b.left, 150);
    EXPECT_EQ(b.bottom - b.top, 50);
    EXPECT_EQ(button.Scaled(11), 22);
    EXPECT_EQ(FontHeight(button.Handle()), 2 * form.Font().Height());
}

} // namespace
} // namespace yar
