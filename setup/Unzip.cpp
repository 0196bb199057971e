#include "setup/Unzip.h"

namespace yar {

namespace {

TFormDesign UnzipDesign() {
    TFormDesign design;
    design.Caption = "Preparing YAR Setup";
    design.BorderStyle = bsToolWindow;
    design.SystemMenu = false; // no close box: the run decides when this window ends
    design.ClientWidth = 375;
    design.ClientHeight = 92;
    design.ScreenCenter = true;
    return design;
}

} // namespace

TUnzip::TUnzip(TMainSetup& main) : TForm(UnzipDesign()), FMain(main) {
    OnShow = [this] { FormShow(); };
}

void TUnzip::FormShow() {
    Close();
}

} // namespace yar
