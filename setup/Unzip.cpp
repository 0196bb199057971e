#include "setup/Unzip.h"

#include "config/Texts.h"
#include "setup/DriverRules.h"
#include "setup/MainSetup.h"
#include "setup/MediaCheck.h"
#include "setup/PrepareRules.h"
#include "system/FileServices.h"
#include "system/MediaDigest.h"
#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"
#include "util/RunLog.h"

#include <stdexcept>

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
    : TForm(UnzipDesign()), Label1(this, {44, 4, 325, 53}), AnimatedIcon(this, {2, 8, 32, 32}),
      GaugePanel(this, {44, 64, 325, 23}), ProgressBar2(&GaugePanel), MarsCaption1(*this), Prompts(*this),
      SegCompEZ1(&Prompts), FMain(main) {
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

    // Active navy to blue with white text, inactive gray to silver with silver text, 64 steps.
    MarsCaption1.SetNumColors(64);

    SegCompEZ1.SetSegBaseName("segdata");
    SegCompEZ1.SetSegDir("a:\\");
    SegCompEZ1.SetSegTmpDir("\\windows\\temp");
    SegCompEZ1.SetSegSize(1440000);
    SegCompEZ1.SetSegPopUp(false); // the floppy prompts are this window's
    SegCompEZ1.SetSegCompType(coLZH5);
    SegCompEZ1.SetSegMultiArc(true);
    SegCompEZ1.SetSegBuildMode(bmRecursive);
    SegCompEZ1.SetMakeDirectories(false);
    // A file that cannot be written is a failed preparation: the install would take whatever lay there.
    SegCompEZ1.SetExceptionOnFileError(true);
    SegCompEZ1.SetCheckSpaceBeforeExpand(false);
    SegCompEZ1.SetKey(0);
    Prompts.SetUnattended(&main.Log(), main.Switches().Unattended());
    SegCompEZ1.OnSegBefore = [this](TSegMode mode, const std::string& name, uint16_t number) {
        SegCompEZ1SegBefore(mode, name, number);
    };
    SegCompEZ1.OnCheckFile = [this](std::string& filepath, TCProcessMode mode) {
        SegCompEZ1CheckFile(filepath, mode);
    };
    SegCompEZ1.OnShowProgress = [this](int32_t& percentage) { SegCompEZ1ShowProgress(percentage); };

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

void TUnzip::BindVolumesToManifest() {
    const std::optional<TMediaManifest> manifest = OwnMediaManifest();
    if (!manifest) return;
    // A program that carries a manifest takes only the volumes it lists; any other is a wrong volume.
    SegCompEZ1.OnSegVerify = [this, listed = *manifest, digest = MediaDigest()](TStream& volume,
                                                                                uint16_t number) {
        if (VolumeMatches(listed, volume, number, digest)) return true;
        Log("Volume " + std::to_string(number) + " does not match the manifest of this install.exe");
        return false;
    };
}

void TUnzip::Expand() {
    const SetupState& state = FMain.State;
    SegCompEZ1.SetSegBaseName(kVolumeBaseName);
    SegCompEZ1.SetSegDir(state.StartDir);
    SegCompEZ1.SetSegTmpDir(SegmentDirOf(state.WorkDir));
    SegCompEZ1.SetTargetPath(state.WorkDir);
    SegCompEZ1.SegArcList.Clear();
    SegCompEZ1.SegSource().clear();
    try {
        // A directory that cannot be made fails the preparation like any other failure of the expansion.
        if (state.WorkDir.empty()) throw std::runtime_error("No working directory");
        ForceDirectories(state.WorkDir);
        MakeDirectory(SegCompEZ1.SegTmpDir());
        BindVolumesToManifest();
        // Volumes on a drive whose media stay in place are read where they lie; a floppy or a CD is
        // taken out, so each archive is copied into the working directory first.
        SegCompEZ1.SetReadInPlace(DriveKindOf(state.StartDir) == drFixed);
        Log(SegCompEZ1.ReadInPlace() ? "Volumes read in place" : "Volumes copied archive by archive");
        SegCompEZ1.SegExpand();
    } catch (const std::exception& e) {
        // Whatever went wrong, the user learns only that the preparation failed; the run is cancelled.
        // The log keeps what went wrong.
        Log(std::string("Failure: ") + e.what());
        if (!FMain.Switches().Unattended()) ShowMessage(kPrepareErrorText);
        FMain.Wizard().ClearRestart();
        FMain.State.Cancelled = true;
        FMain.State.Failure = rfPrepare;
    }
    Close();
}

void TUnzip::SegCompEZ1SegBefore(TSegMode /*SegMode*/, const std::string& /*SegName*/, uint16_t SegNumber) {
    Application().ProcessMessages();
    FVolumePath = VolumePathFor(FMain.State.StartDir, SegCompEZ1.SegBaseName(), SegNumber);
    Log("Volume: " + FVolumePath);
    // Nobody is there to insert a disk.
    if (FMain.Switches().Unattended() && !FFiles.FileExists(FVolumePath))
        throw std::runtime_error(MissingVolumeText(FVolumePath));
    // After these the segment reader offers its own retry box, and calls here again on each retry.
    for (int shown = 0; shown < kFloppyPromptsPerVolume && !FFiles.FileExists(FVolumePath); ++shown) {
        ShowMessage(FloppyPromptText(SegNumber));
        Log("Message: " + FloppyPromptText(SegNumber) + " - answer: OK");
    }
    if (SegNumber == 1) CopySetupFiles();
    Application().ProcessMessages();
}

void TUnzip::CopySetupFiles() {
    const SetupState& state = FMain.State;
    ProgressBar2.SetMaxValue(GaugeMaximumFor(FMain.Config.FileEntries.size()));
    ProgressBar2.SetProgress(0);
    Application().ProcessMessages();
    for (const char* name : kSetupFiles) {
        FFiles.CopyFileInto(state.StartDir + name, state.WorkDir);
        ProgressBar2.AddProgress(1);
        Application().ProcessMessages();
    }
}

void TUnzip::SegCompEZ1CheckFile(std::string& filepath, TCProcessMode /*mode*/) {
    const std::string& workDir = FMain.State.WorkDir;
    filepath = ExpandedFileTarget(workDir, filepath);
    Log("Expanded: " + filepath);
    ProgressBar2.SetProgress(GaugeStepped(ProgressBar2.Progress(), ProgressBar2.MaxValue()));
    // Each file, unpaced: a click to abort is answered before the next file is written.
    Application().ProcessMessages();
    // The picture has been written by now when it was the file before this one.
    const std::string& bitmap = FMain.Config.BitmapFile;
    if (bitmap.empty() || FPictureShown) return;
    const std::string picture = workDir + "\\" + bitmap;
    if (FFiles.FileExists(picture)) ShowPicture(picture);
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

void TUnzip::SegCompEZ1ShowProgress(int32_t& PercentageDone) {
    if (FMain.State.Cancelled) PercentageDone = -1;
}

void TUnzip::Log(const std::string& event) const {
    FMain.Log().Write(event);
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
