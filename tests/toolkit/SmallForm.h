// The small tool window the toolkit's tests put their controls on.
#pragma once

#include "toolkit/Forms.h"

#include <string>

namespace yar::test {

// 200 x 100 client pixels, centred on the screen.
inline TFormDesign SmallForm(const std::string& caption) {
    TFormDesign design;
    design.Caption = caption;
    design.BorderStyle = bsToolWindow;
    design.ClientWidth = 200;
    design.ClientHeight = 100;
    design.ScreenCenter = true;
    return design;
}

} // namespace yar::test
