// What the install is asked to do: the user's choices as the wizard holds them when Install is
// pressed, or as a run without pages takes them from its answers.
#pragma once

#include <string>
#include <vector>

namespace yar {

// One item of a check list.
struct TCheckItem {
    std::string Caption;
    bool Checked = true;

    bool operator==(const TCheckItem&) const = default;
};

// The folder choices Install hands to the shortcut component.
struct TShortcutFolders {
    std::string Folder;
    bool FolderStartMenu = false;
    bool FolderDesktop = false;

    bool operator==(const TShortcutFolders&) const = default;
};

struct TInstallChoices {
    std::string MainDir;        // the text of Main_Dir: the installation directory
    bool MinInstall = false;    // min: the network workstation's files only
    bool LaunchChecked = false; // RadioButton1: launch the program once installed
    // The shortcuts offered on the desktop (the check list DK) and in the Start Menu (SM), each
    // ticked or not: the install puts the ticked ones there.
    std::vector<TCheckItem> DesktopShortcuts;
    std::vector<TCheckItem> StartMenuShortcuts;
    TShortcutFolders Folders; // the program folder and where it goes
};

} // namespace yar
