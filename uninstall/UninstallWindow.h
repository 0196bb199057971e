// The window the uninstall shows while it runs: what it is taking and how far it has come.
#pragma once

#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/Gauges.h"
#include "toolkit/StdCtrls.h"
#include "uninstall/Uninstaller.h"

#include <string>

namespace yar {

class TUninstallForm final : public TForm, public TUninstallProgress {
public:
    explicit TUninstallForm(const std::string& title);

    TLabel Label1;  // "Removing <title>"
    TLabel Current; // the file, folder or key being taken
    TPanel GaugePanel;
    TGauge Progress; // in GaugePanel

    void Begin(int steps) override;
    void Step(const std::string& what) override;
};

} // namespace yar
