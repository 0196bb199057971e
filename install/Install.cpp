// install.exe: the setup program. The background window drives the whole run.
#include "setup/MainSetup.h"
#include "system/ComScope.h"
#include "toolkit/Application.h"
#include "toolkit/Pictures.h"
#include "wizard/YAR.h"

#include <windows.h>

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    InitCommonControls();
    yar::TApplication& application = yar::Application();
    application.SetTitle("YAR - Setup");
    // COM once, for the whole run: the install saves its shortcuts through the shell-link object.
    const yar::TComScope com;
    try {
        const yar::TGdiplusSession pictures; // the picture on the background and the animated icon
        // The background window makes the wizard and the preparation window after itself.
        yar::TMainSetup mainSetup(
            [](const yar::TWizardLinks& links) { return std::make_unique<yar::TYAR>(links); });
        application.Run();
    } catch (const std::exception& e) {
        // The windows could not be made: nothing of the run has started.
        application.ShowException(e);
        return 1;
    }
    return 0;
}
