// TUnzip: the preparation window, shown modally before the wizard while the archive is expanded
// into the working directory. It asks for missing floppies, copies the setup program and its
// configuration along, shows a gauge, and puts the configured picture on the background window.
#pragma once

#include "archive/Segment.h"
#include "setup/WindowPrompts.h"
#include "system/Win32Files.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/Gauges.h"
#include "toolkit/GradientCaption.h"
#include "toolkit/Pictures.h"
#include "toolkit/StdCtrls.h"

#include <cstdint>
#include <string>

namespace yar {

class TMainSetup;

class TUnzip : public TForm {
public:
    // The window works on the background window's run state, configuration, headers and picture panel.
    // The animated icon is loaded from the program's resource PREPARE_GIF, so GDI+ must be running.
    explicit TUnzip(TMainSetup& main);
    ~TUnzip() override;

    TLabel Label1;
    TAnimatedImage AnimatedIcon;
    TPanel GaugePanel;
    TGauge ProgressBar2; // in GaugePanel
    TTimer Timer1;
    TGradientCaption MarsCaption1;
    TWindowPrompts Prompts; // the segment reader's retry box, over this window
    TSegCompEZ SegCompEZ1;

    void FormShow();
    // Asks whether to abort; on Abort the run is cancelled and the application asked to end.
    void FormClick();
    // One second after FormShow: the expansion, then the window closes.
    void Timer1Timer();

    // Before volume SegNumber is opened: asks for it while it is missing; before volume 1 also copies
    // install.exe and install.cfg into the working directory.
    void SegCompEZ1SegBefore(TSegMode SegMode, const std::string& SegName, uint16_t SegNumber);
    // Before each file is written: it goes straight into the working directory.
    void SegCompEZ1CheckFile(std::string& filepath, TCProcessMode mode);
    void SegCompEZ1ShowProgress(int32_t& PercentageDone);

    // The expansion itself, without the window: a run that shows nothing calls it directly.
    void Expand();

    // The volume last looked for.
    const std::string& VolumePath() const { return FVolumePath; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Log(const std::string& event) const;
    // With a manifest in this program, each volume is checked against it before it is read.
    void BindVolumesToManifest();
    void CopySetupFiles();
    void ShowPicture(const std::string& path);

    TMainSetup& FMain;
    TWin32Files FFiles;
    std::string FVolumePath;
    bool FPictureShown = false;
};

} // namespace yar
