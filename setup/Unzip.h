// TUnzip: the preparation window, shown modally before the wizard while the archive is expanded
// into the working directory.
#pragma once

#include "toolkit/Forms.h"

namespace yar {

class TMainSetup;

class TUnzip : public TForm {
public:
    // The window works on the background window's run state, configuration, headers and picture panel.
    explicit TUnzip(TMainSetup& main);

    // The archive step is not wired in yet: the window closes as after a successful expansion,
    // leaving Cancelled clear.
    void FormShow();

private:
    TMainSetup& FMain;
};

} // namespace yar
