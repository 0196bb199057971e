// Products for the uninstaller's tests, installed by the install engine as the setup would, and a
// progress that logs what the uninstall told it.
#pragma once

#include <string>
#include <vector>

#include "config/SetupConfig.h"
#include "config/SetupState.h"
#include "engine/InstallEngine.h"
#include "system/Files.h"
#include "uninstall/Uninstaller.h"
#include "util/Paths.h"

namespace yar::test {

// A product of every kind of record: files in the installation directory, a subdirectory and the
// system directory, a shortcut in a shared program folder, INI values inside and outside the
// installation directory, registry values below both roots, an AUTOEXEC.BAT line. name is its
// title and the name of its own keys; vendor the key and program folder it shares with others,
// shared the file it puts into the system directory.
inline SetupConfig ProductConfig(const std::string& name, const std::string& vendor,
                                 const std::string& shared = "shared.dll") {
    SetupConfig config;
    config.Header = name;
    config.DirectoryEntries = {"<INSTALLDIR>", "<SUB1><INSTALLDIR>~Bin", "<WINDOWS_SYSTEM>",
                               "<SUB2><INSTALLDIR>~Data"};
    config.FileEntries = {"app.exe~<INSTALLDIR>~", "tool.exe~<SUB1><INSTALLDIR>~",
                          shared + "~<WINDOWS_SYSTEM>~", "uninstaller.exe~<INSTALLDIR>~"};
    config.DesktopEntries = {name + " App~<INSTALLDIR>app.exe~~~<INSTALLDIR>app.exe~" + vendor};
    config.IniSetupEntries = {
        "<INSTALLDIR>settings.ini~Main~Dir~<INSTALLDIR>", name + ".ini~Paths~Home~<INSTALLDIR>",
        "HKEY_LOCAL_MACHINE\\Software\\" + vendor + "\\" + name + "~Settings~Path~<INSTALLDIR>app.exe",
        "Software\\" + name + "~Options~Colour~blue",
        // A file type: a key made directly below the root.
        "HKEY_CLASSES_ROOT\\." + name + "~shell~~" + name + " File"};
    config.AutoexecLines = {"set " + name + "=<INSTALLDIR>"};
    return config;
}

// The working copies the product's install takes from WorkDir.
inline std::vector<std::string> ProductFiles(const std::string& shared = "shared.dll") {
    return {"install.exe", "install.cfg", "app.exe", "tool.exe", shared, "uninstaller.exe"};
}

inline TInstallChoices ProductChoices(const std::string& target, const std::string& vendor) {
    TInstallChoices choices;
    choices.MainDir = target;
    choices.Folders = {vendor, false, false};
    return choices;
}

class TStepLog final : public TUninstallProgress {
public:
    void Begin(int steps) override { Steps = steps; }
    void Step(const std::string& what) override { Taken.push_back(what); }

    int Steps = -1;
    std::vector<std::string> Taken;
};

// The items of a report that were left, as "what - why".
inline std::vector<std::string> LeftLines(const TUninstallReport& report) {
    std::vector<std::string> lines;
    for (const TReportItem& item : report.Left()) lines.push_back(item.What + " - " + item.Why);
    return lines;
}

} // namespace yar::test
