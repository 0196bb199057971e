// What the wizard puts into its pages' controls, and what it hands on at Install: the proposed
// destination, the install type, the summary, the shortcut check lists and the launch name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/InstallChoices.h"

namespace yar {

struct SetupConfig;
struct SetupState;

// The controls FormShow fills from the configuration.
struct TShownPages {
    std::string CreateFolder; // the main folder name on the folders page
    std::string MainDir;      // the proposed destination
    bool MinInstall = false;  // min selected, else full

    bool operator==(const TShownPages&) const = default;
};

// The destination proposed below the root of the Windows drive, or below its "Program Files"
// directory when AddToProgramFiles is on: C:\Acme or C:\Program Files\Acme.
std::string ProposedDestination(const SetupConfig& config, std::string_view RootDir);

// FormShow's values: the main folder is Folder, the destination is proposed below RootDir, and the
// network minimum is preselected exactly when the install-type page is offered.
TShownPages ShownPages(const SetupConfig& config, const SetupState& state);

// The summary Memo4 and the check lists DK and SM, rebuilt whenever the folders page is shown.
struct TFolderPage {
    std::vector<std::string> Summary;
    std::vector<TCheckItem> DK; // shortcuts offered on the desktop
    std::vector<TCheckItem> SM; // shortcuts offered in the Start Menu

    bool operator==(const TFolderPage&) const = default;
};

// Built from the destination and main folder as the pages show them and from DesktopEntries in
// order. Each entry adds the line "  " + target file + " \ " + folder, followed by " \ Desktop"
// and " \ Start Menu" for the marks that are exactly "X"; those marks also offer its name in DK
// and SM. Every offered item starts ticked, so earlier untickings are lost.
TFolderPage FolderPage(const SetupConfig& config, std::string_view MainDir, std::string_view CreateFolder);

// Label2 on the ready page: Launch without its directory tag.
std::string LaunchName(std::string_view Launch);

// CheckBox1 is "Add Folder to Start Menu", CheckBox2 "Add Folder to Desktop".
TShortcutFolders ShortcutFolders(std::string_view CreateFolder, bool CheckBox1, bool CheckBox2);

} // namespace yar
