// Shell shortcuts of the installed program: the user's shell folders, and TShortcuts, which saves
// one program's .lnk files into the folders its properties ask for.
#pragma once

#include <string>
#include <vector>

#include "system/Files.h"
#include "system/Registry.h"
#include "system/ShellLinks.h"

namespace yar {

enum TShellFolderKind { sfDesktop, sfPrograms, sfStartMenu };

// The folder of that kind with a trailing "\", as the per-user "Shell Folders" key names it, else
// below the Windows directory (C:\WINDOWS\Start Menu\).
std::string GetShellFolder(const TRegistry& registry, TShellFolderKind kind, const std::string& WindowsDir);
// The Quick Launch folder, with a trailing "\".
std::string QuickLaunchFolder(const std::string& WindowsDir);

class TShortcuts {
public:
    // Lists the program folders at once.
    TShortcuts(TFiles& files, const TRegistry& registry, TShellLinks& links);

    std::string RunProgram;  // full path of the program a shortcut starts
    std::string Folder;      // the program folder's name
    std::string ProgramName; // the shortcut's name: the file is ProgramName + ".lnk"
    bool Desktop = false;    // directly on the desktop
    bool QuickLaunch = false;
    bool StartMenu = false;
    bool FolderDesktop = false;     // in Folder on the desktop, and then in Folder under Programs
    bool FolderQuickLaunch = false; // in Folder under Quick Launch, with FolderDesktop or FolderStartMenu
    bool FolderStartMenu = false;
    std::vector<std::string> FolderList; // the names in the Programs folder
    // The folders CreateShortcuts made (none was there before) and kept, top down, for the caller to record.
    std::vector<std::string> MadeFolders;
    std::string IconFile; // the shortcut shows the first icon of this file

    // FolderList afresh: every entry of the Programs folder but hidden names and shortcut files.
    void ListProgramFolders();
    // Saves the shortcut into every folder the properties ask for, making the program folders
    // that are missing. Raises EShellLinkError without a shell-link object, EInOutError when a
    // program folder cannot be made; a save that fails is not noticed.
    void CreateShortcuts();
    std::string GetShellFolder(TShellFolderKind kind) const;

private:
    TFiles& Files_;
    const TRegistry& Registry_;
    TShellLinks& Links_;
};

} // namespace yar
