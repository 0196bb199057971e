// TUnzip: the preparation window, shown modally before the wizard while the archive is expanded
// into the working directory (TPreparation). It shows a gauge, asks whether to abort on a click, and
// puts the configured picture on the background window.
#pragma once

#include "setup/Preparation.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/Gauges.h"
#include "toolkit/GradientCaption.h"
#include "toolkit/Pictures.h"
#include "toolkit/StdCtrls.h"

#include <string>

namespace yar {

class TMainSetup;

class TUnzip : public TForm, public TPreparation {
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

    void FormShow();
    // Asks whether to abort; on Abort the run is cancelled and the application asked to end.
    void FormClick();
    // One second after FormShow: the expansion, then the window closes.
    void Timer1Timer();

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void ServeWindows() override;
    void GaugeStart(int maximum) override;
    void SetupFileCopied() override;
    // The gauge steps, and the picture shows once it has been written.
    void FileExpanding() override;
    void ExpansionEnded() override;

private:
    void ShowPicture(const std::string& path);

    TMainSetup& FMain;
    bool FPictureShown = false;
};

} // namespace yar
