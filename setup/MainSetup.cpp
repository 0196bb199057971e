#include "setup/MainSetup.h"

#include "setup/Unzip.h"
#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"

namespace yar {

namespace {

TFormDesign MainDesign() {
    TFormDesign design;
    design.Caption = "YAR 32Bit Installer";
    design.BorderStyle = bsNone;
    design.SystemMenu = false;
    design.ClientWidth = 640;
    design.ClientHeight = 480;
    design.Maximized = true;
    return design;
}

// The footer's built-in text.
constexpr const char* kFooterText = "YAR 32Bit Installer  -  Tarnwick";

void DesignHeader(TShadowLabel& label, int left, int top, const std::string& caption, const TFont& font,
                  int shadowSize) {
    label.SetTransparent(true);
    label.SetFont(font);
    label.SetCaption(caption);
    label.SetShadowColor(clWhite);
    label.SetShadowSize(shadowSize);
    label.SetShadowPos(spRightBottom);
    label.SetBounds(label.Scaled(left), label.Scaled(top), label.Width(), label.Height());
}

void ApplyHeader(TShadowLabel& label, const std::string& text, const std::string& fontName, int points,
                 TColor color, TColor shadow) {
    TFont font = label.Font();
    font.SetName(fontName);
    font.SetSize(points);
    font.SetColor(color);
    label.SetFont(font);
    label.SetCaption(text);
    label.SetShadowColor(shadow);
}

} // namespace

TMainSetup::TMainSetup(TWizardFactory makeWizard, TSetupSwitches switches, TRunLog* log)
    : TForm(MainDesign()), TSetupRun(std::move(switches), log), MainScreen(this), Setup_Header(this),
      Setup_Header2(this), Footer(this), bitmapscreen(this, {0, 0, 185, 41}), Image3(&bitmapscreen),
      Image4(&bitmapscreen) {
    MainScreen.SetAlign(alClient);
    MainScreen.SetFromColor(clBlue);
    MainScreen.SetToColor(clBlack);
    MainScreen.SetSteps(255);
    MainScreen.SetStyle(fsHorizontal);

    DesignHeader(Setup_Header, 8, 1, SetupConfig{}.Header, TFont("Impact", 35, clBlack), 2);
    DesignHeader(Setup_Header2, 18, 32, kBuiltInHeader2, TFont("Times New Roman", 13, clBlack), 1);

    Footer.SetTransparent(true);
    Footer.SetAlignment(taCenter);
    Footer.SetFont(TFont("MS Sans Serif", 11, clWhite));
    Footer.SetCursor(reinterpret_cast<LPCSTR>(IDC_HAND));
    Footer.SetCaption(kFooterText);

    bitmapscreen.SetBevelInner(bvRaised);
    bitmapscreen.Hide();
    Image3.SetAnimate(true);
    Image3.Hide();
    Image4.Hide();

    Timer1.SetEnabled(false);
    Timer1.SetInterval(1000);
    Timer1.OnTimer = [this] { Timer1Timer(); };

    OnShow = [this] { ShowHandler(); };
    OnResize = [this] { FormResize(); };
    OnClose = [this](TCloseAction& action) { FormClose(action); };

    MakeWizard(makeWizard, MainScreen.FromColor(), MainScreen.ToColor(), Setup_Header.Font().Color());
    FUnzip = std::make_unique<TUnzip>(*this);
}

TMainSetup::~TMainSetup() = default;

void TMainSetup::ShowHandler() {
    try {
        FormShow();
    } catch (const EInOutError& e) {
        // The close handler does not run, as the run has not started: nothing to clean, nothing to end.
        FailStart(e);
        Application().ShowException(e);
        Application().Terminate();
    }
}

void TMainSetup::FormShow() {
    StartRun();
    Timer1.SetEnabled(true);
}

void TMainSetup::ServeWindows() {
    Application().ProcessMessages();
}

void TMainSetup::ApplyConfig() {
    MainScreen.SetFromColor(Config.DitherFrom);
    MainScreen.SetToColor(Config.DitherTo);
    ApplyHeader(Setup_Header, Config.Header, Config.HeaderFontName, Config.HeaderFontSize,
                Config.HeaderFontColor, Config.HeaderFontShadow);
    ApplyHeader(Setup_Header2, Config.Header2, Config.Header2FontName, Config.Header2FontSize,
                Config.Header2FontColor, Config.Header2FontShadow);
    SetColor(MainScreen.FromColor());
    // The configured picture is the product's: screen readers name it by the product's header.
    Image3.SetAccessibleName(Config.Header);
    Image4.SetAccessibleName(Config.Header);
    TSetupRun::ApplyConfig();
}

void TMainSetup::FormResize() {
    Footer.SetBounds(0, MainScreen.Height() - Footer.Height() - Scaled(10), MainScreen.Width(),
                     Footer.Height());
    Setup_Header.SetTop(Scaled(1));
    Setup_Header2.SetTop(Setup_Header.Top() + Setup_Header.Height() + Scaled(2));
}

void TMainSetup::Timer1Timer() {
    Timer1.SetEnabled(false);
    if (!State.Cancelled) FUnzip->ShowModal();
    FUnzip.reset();
    UseSetLanguages();
    if (!State.Cancelled) Wizard().Execute();
    Close();
}

void TMainSetup::FormClose(TCloseAction& /*action*/) {
    EndRun();
}

} // namespace yar
