#include "engine/Shortcuts.h"

#include "engine/UninstallRecord.h"
#include "system/ShellFolders.h"
#include "util/Paths.h"
#include "util/Text.h"

namespace yar {

namespace {

const char* ShellFolderName(TShellFolderKind kind) {
    switch (kind) {
    case sfDesktop:
        return "Desktop";
    case sfPrograms:
        return "Programs";
    case sfStartMenu:
        break;
    }
    return "Start Menu";
}

} // namespace

std::string GetShellFolder(const TRegistry& registry, TShellFolderKind kind, const std::string& WindowsDir) {
    return ShellFolderPath(registry, ShellFolderName(kind), WindowsDir);
}

std::string QuickLaunchFolder(const std::string& WindowsDir) {
    return JoinPath(WindowsDir, "Application Data\\Microsoft\\Internet Explorer\\Quick Launch\\");
}

TShortcuts::TShortcuts(TFiles& files, const TRegistry& registry, TShellLinks& links)
    : Files_(files), Registry_(registry), Links_(links) {
    ListProgramFolders();
}

std::string TShortcuts::GetShellFolder(TShellFolderKind kind) const {
    return yar::GetShellFolder(Registry_, kind, Files_.WindowsDirectory());
}

void TShortcuts::ListProgramFolders() {
    FolderList.clear();
    for (const std::string& name : Files_.EntryNames(GetShellFolder(sfPrograms))) {
        const std::string upper = UpperCase(name);
        if (!upper.starts_with('.') && upper.find(".LNK") == std::string::npos) FolderList.push_back(name);
    }
}

void TShortcuts::CreateShortcuts() {
    const TShellLink link{RunProgram, ExtractFilePath(RunProgram), IconFile, 0};
    const std::string linkName = ProgramName + ".lnk";
    // A folder is present when it is a directory; a program folder that is missing is made, and goes
    // again when no shortcut can be made to fill it.
    const auto saveInFolder = [&](const std::string& parent) {
        const std::string folder = JoinPath(parent, Folder);
        const std::vector<std::string> made = MissingDirectoryLevels(Files_, folder);
        if (!made.empty()) Files_.ForceDirectories(folder);
        try {
            Links_.Save(link, JoinPath(folder, linkName));
        } catch (const EShellLinkError&) {
            for (const std::string& level : made) Files_.RemoveEmptyDirectory(level);
            throw;
        }
        MadeFolders.insert(MadeFolders.end(), made.rbegin(), made.rend());
    };
    const auto saveIn = [&](const std::string& folder) { Links_.Save(link, folder + linkName); };

    if (FolderDesktop || FolderStartMenu) {
        if (FolderDesktop) {
            saveInFolder(GetShellFolder(sfDesktop));
            saveInFolder(GetShellFolder(sfPrograms));
        }
        if (FolderStartMenu) saveInFolder(GetShellFolder(sfStartMenu));
        if (FolderQuickLaunch) saveInFolder(QuickLaunchFolder(Files_.WindowsDirectory()));
    } else {
        saveInFolder(GetShellFolder(sfPrograms));
    }
    if (Desktop) saveIn(GetShellFolder(sfDesktop));
    if (StartMenu) saveIn(GetShellFolder(sfStartMenu));
    if (QuickLaunch) saveIn(QuickLaunchFolder(Files_.WindowsDirectory()));
}

} // namespace yar
