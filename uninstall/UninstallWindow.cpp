#include "uninstall/UninstallWindow.h"

#include "config/Texts.h"

#include "toolkit/Application.h"

namespace yar {

namespace {

TFormDesign UninstallDesign() {
    TFormDesign design;
    design.Caption = Tr(txUninstallTitle);
    design.BorderStyle = bsSingle;
    design.SystemMenu = false; // a half-done uninstall is worse than a finished one
    design.ClientWidth = 375;
    design.ClientHeight = 92;
    design.ScreenCenter = true;
    return design;
}

} // namespace

TUninstallForm::TUninstallForm(const std::string& title)
    : TForm(UninstallDesign()), Label1(this, {10, 8, 355, 20}), Current(this, {10, 32, 355, 20}),
      GaugePanel(this, {10, 60, 355, 23}), Progress(&GaugePanel) {
    Label1.SetAutoSize(false);
    Label1.SetCaption(Tr(txRemoving, {title}));
    Current.SetAutoSize(false);
    GaugePanel.SetBevelOuter(bvNone);
    GaugePanel.SetSingleBorder(true);
    Progress.SetAlign(alClient);
    Progress.SetColor(clBtnFace);
    Progress.SetForeColor(clHighlight);
    Progress.SetShowText(true);
    Progress.SetAccessibleLabel(&Label1);
}

void TUninstallForm::Begin(int steps) {
    Progress.SetRange(0, steps);
    Progress.SetProgress(0);
    Application().ProcessMessages();
}

void TUninstallForm::Step(const std::string& what) {
    Current.SetCaption(what);
    Progress.AddProgress(1);
    Application().ProcessMessages();
}

} // namespace yar
