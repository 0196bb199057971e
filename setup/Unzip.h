// TUnzip: the preparation window, shown modally before the wizard while the archive is expanded
// into the working directory.
#pragma once

#include "toolkit/Forms.h"

namespace yar {

class TUnzip : public TForm {
public:
    TUnzip();

    // The archive step is not wired in yet: the window closes as after a successful expansion,
    // leaving Cancelled clear.
    void FormShow();
};

} // namespace yar
