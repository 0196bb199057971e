#include "setup/Unzip.h"

#include "config/Texts.h"
#include "setup/MainSetup.h"
#include "setup/PrepareRules.h"
#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"

namespace yar {

namespace {

// The picture sits this far inside its panel, on every side.
constexpr int kPictureInset = 5;

TFormDesign UnzipDesign() {
    TFormDesign design;
    design.Caption = Tr(txPrepareCaption);
    design.BorderStyle = bsToolWindow;
    design.SystemMenu = false; // no close box: the run decides when this window ends
    design.ClientWidth = 375;
    design.ClientHeight = 92;
    design.ScreenCenter = true;
    return design;
}

} // namespace

TUnzip::TUnzip(TMainSetup& main)
    : TForm(UnzipDesign()), TPreparation(main, Handle()), Label1(this, {44, 4, 325, 53}),
      AnimatedIcon(this, {2, 8, 32, 32}), GaugePanel(this, {44, 64, 325, 23}), ProgressBar2(&GaugePanel),
      MarsCaption1(*this), FMain(main) {
    Label1.SetAutoSize(false);
    Label1.SetWordWrap(true);
    Label1.SetCaption(Tr(txPrepareText));

    AnimatedIcon.SetStretch(true);
    AnimatedIcon.SetPicture(TPicture::FromResource(GetModuleHandleA(nullptr), "PREPARE_GIF"));
    AnimatedIcon.SetAnimate(true);

    GaugePanel.SetBevelOuter(bvNone);
    GaugePanel.SetSingleBorder(true);
    ProgressBar2.SetAlign(alClient);
    ProgressBar2.SetColor(clBtnFace);
    ProgressBar2.SetForeColor(clHighlight);
    ProgressBar2.SetShowText(true);
    ProgressBar2.SetProgress(0);
    AnimatedIcon.SetAccessibleName(UnzipDesign().Caption);
    ProgressBar2.SetAccessibleLabel(&Label1);

    Timer1.SetEnabled(false);
    Timer1.SetInterval(1000);
    Timer1.OnTimer = [this] { Timer1Timer(); };

    // The configured picture shows as soon as it is written: each file is whole before the next one is
    // decoded.
    SegCompEZ1.SetWriteBehind(false);

    // Active navy to blue with white text, inactive gray to silver with silver text, 64 steps.
    MarsCaption1.SetNumColors(64);

    OnShow = [this] { FormShow(); };
    OnClick = [this] { FormClick(); };
}

TUnzip::~TUnzip() = default;

void TUnzip::FormShow() {
    FMain.State.Cancelled = false;
    // The run's language is known by now: install.cfg may have narrowed the choice.
    SetCaption(Tr(txPrepareCaption));
    Label1.SetCaption(PrepareLabelText(FMain.Setup_Header.Caption(), Tr(txPrepareText)));
    ProgressBar2.SetForeColor(FMain.MainScreen.FromColor());
    MarsCaption1.SetActiveStartColor(FMain.MainScreen.FromColor());
    MarsCaption1.SetActiveEndColor(FMain.MainScreen.ToColor());
    MarsCaption1.SetActiveTextColor(FMain.Setup_Header.Font().Color());
    Application().ProcessMessages();
    FPictureShown = false;
    Timer1.SetEnabled(true);
}

void TUnzip::Timer1Timer() {
    Timer1.SetEnabled(false);
    FMain.State.Cancelled = false;
    Expand();
}

void TUnzip::ServeWindows() {
    Application().ProcessMessages();
}

void TUnzip::GaugeStart(int maximum) {
    ProgressBar2.SetMaxValue(maximum);
    ProgressBar2.SetProgress(0);
}

void TUnzip::SetupFileCopied() {
    ProgressBar2.AddProgress(1);
}

void TUnzip::FileExpanding() {
    ProgressBar2.SetProgress(GaugeStepped(ProgressBar2.Progress(), ProgressBar2.MaxValue()));
    // Each file, unpaced: a click to abort is answered before the next file is written.
    Application().ProcessMessages();
    // The picture has been written by now when it was the file before this one.
    const std::string& bitmap = FMain.Config.BitmapFile;
    if (bitmap.empty() || FPictureShown) return;
    const std::string picture = FMain.State.WorkDir + "\\" + bitmap;
    if (FFiles.FileExists(picture)) ShowPicture(picture);
}

void TUnzip::ExpansionEnded() {
    Close();
}

void TUnzip::ShowPicture(const std::string& path) {
    FPictureShown = true;
    FMain.Image3.Hide();
    FMain.Image4.Hide();
    const bool animated = PictureIsAnimated(FMain.Config.BitmapFile);
    TImage& image = animated ? static_cast<TImage&>(FMain.Image3) : FMain.Image4;
    image.LoadFromFile(path);
    const int inset = image.Scaled(kPictureInset);
    image.SetBounds(inset, inset, image.Width(), image.Height());
    image.Show();
    image.Repaint();
    image.SetAutoSize(true);
    if (!animated) image.Repaint();
    TPanel& panel = FMain.bitmapscreen;
    panel.SetBounds(panel.Left(), panel.Top(), image.Width() + 2 * inset, image.Height() + 2 * inset);
    panel.Show();

    FMain.Update();
    // The placement's margins are designed ones: the rule works at 96 pixels per inch.
    const int ppi = FMain.PixelsPerInch();
    const auto design = [ppi](int pixels) { return ScalePixels(pixels, kDesignPixelsPerInch, ppi); };
    const TPicturePlacement at = PicturePanelPlacement(
        design(FMain.MainScreen.Width()), design(panel.Width()), design(FMain.Setup_Header2.Top()),
        FMain.Config.AlignCenter, FMain.Config.AlignLeft);
    panel.SetBounds(FMain.Scaled(at.Left), FMain.Scaled(at.Top), panel.Width(), panel.Height());
    FMain.Repaint();
    Application().ProcessMessages();
}

// Escape asks as a click on the window does: the window has no button to take it.
LRESULT TUnzip::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND && lParam == 0 && LOWORD(wParam) == IDCANCEL) {
        FormClick();
        return 0;
    }
    return TForm::WndProc(msg, wParam, lParam);
}

void TUnzip::FormClick() {
    if (MessageDlg(kAbortQuestion, mtWarning, {mbNo, mbAbort}) != mrAbort) return;
    FMain.State.Cancelled = true;
    FMain.Wizard().ClearRestart();
    FMain.CleanRunDirectory();
    Application().Terminate();
}

} // namespace yar
