// The install behind the wizard's Install button: directories, files, shortcuts, INI and registry
// values, AUTOEXEC.BAT, the uninstall record and its registration, and the launch of the program.
// It works through the system layer it is given and reports to the wizard window through
// TInstallProgress, so its whole plan runs natively against the portable system layer.
#pragma once

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "config/SetupConfig.h"
#include "config/SetupState.h"
#include "engine/InstallChoices.h"
#include "engine/InstallDirectories.h"
#include "engine/InstallJournal.h"
#include "engine/InstallProgress.h"
#include "engine/JournaledSystem.h"
#include "engine/Shortcuts.h"
#include "engine/UninstallRecord.h"
#include "system/Files.h"
#include "system/IniFiles.h"
#include "system/Launcher.h"
#include "system/Registry.h"
#include "system/ShellLinks.h"
#include "util/RunLog.h"
#include "util/Text.h"

namespace yar {

// What the install changes on the machine.
struct TInstallSystem {
    TFiles& Files;
    TIniFiles& Ini;
    TRegistry& Registry;
    TShellLinks& Links;
    TLauncher& Launcher;
    // A new directory of this install's own, reachable by administrators alone, that survives a crash:
    // the journal of every change goes there. Empty: the install keeps no journal and cannot be undone.
    std::string JournalDir = {};
};

// How RunInstall ended.
enum TInstallOutcome {
    ioInstalled,     // everything done, the wizard closed
    ioStopped,       // a step failed or the configuration was refused: the run is cancelled
    ioTargetMissing, // the installation directory could not be made: the program ends
};

// The message for a configuration that names no installation directory.
inline constexpr const char* kNoInstallDirMessage =
    "The setup configuration has no <INSTALLDIR> directory: nothing can be installed.";

// The question before installing into a directory another account can change, which names it and why
// ("Everyone may change it").
std::string UnsafeDestinationQuestion(const std::string& dir, const std::string& reason);
// The stop when the answer is No or nobody is asked.
std::string UnsafeDestinationStop(const std::string& dir, const std::string& reason);

// What the user is told once a stopped install was undone: that nothing was changed, or what is left.
std::string RolledBackMessage(const std::vector<std::string>& left);

// Whether a file name occurs in the text of any entry of the list other than the one at index,
// ignoring case: another entry may still need the working copy.
bool FileNeededElsewhere(const std::string& name, std::size_t index, const std::vector<std::string>& files);
// The same on entries already in upper case, so that a run asking it of each of many files changes each
// entry's case once, not once per file.
bool FileNeededElsewhereUpper(const std::string& name, std::size_t index,
                              const std::vector<std::string>& upperFiles);

// Whether the program is started at the end: when the user chose it, or when Launch names a chained
// setup program ("SETUP." or "INSTALL.").
bool LaunchWanted(const std::string& Launch, bool LaunchChecked);

// Launch ("program,parameters") as the shell is asked to start it: the program's file name, the
// parameters (the whole value when it has no ","), and the program's directory with its "\".
TLaunchCall LaunchCallOf(const std::string& Launch);

class TInstallEngine {
public:
    // Each directory, file, shortcut and value written goes to log when one is given.
    TInstallEngine(const SetupConfig& config, SetupState& state, const TInstallSystem& system,
                   TInstallProgress& progress, TRunLog* log = nullptr);

    // Installs with the user's choices. Once: the engine keeps the run's values. A stop shows its
    // message through the progress, sets the state's Cancelled and undoes everything done so far
    // through the journal.
    TInstallOutcome RunInstall(const TInstallChoices& choices);

    // The run's values, as the install left them.
    const TResolvedDirectories& ResolvedDirectories() const { return Directories_; }
    const std::string& TargetDir() const { return TargetDir_; }
    // Launch with its directory tag replaced by the directory.
    const std::string& Launch() const { return Launch_; }
    const TShortcuts& Shortcuts() const { return Shortcuts_; }
    // The bytes of every file the install copied.
    uint64_t InstalledBytes() const { return InstalledBytes_; }

private:
    // Steps 2 to 14; raises EInstallError and the copy's errors where the run stops.
    TInstallOutcome Install(const TInstallChoices& choices);
    // The run stops with the error's message, counts as cancelled and is undone.
    TInstallOutcome Stop(const std::exception& error);
    // Replays the journal in reverse and tells the progress what is left.
    void RollBack();
    // Writes the uninstall records gathered since the last time.
    void FlushRecord();
    // Shows a text and lets the page repaint.
    void Status(const std::string& text);
    void Destination(const std::string& text);
    void Step();
    void Log(const std::string& event) const;
    // A file is in place: its bytes count towards the installed size.
    void Installed(const std::string& source, const std::string& target);
    void LogRegistryValue(const TIniEntry& entry) const;
    // The program Launch starts, for the list of installed programs; empty when none.
    std::string LaunchedProgram() const;

    // Before anything is written: the installation directory and every directory a row of the
    // configuration names, where another account could change it, itself or through a directory above
    // it, go ahead only on the user's Yes; raises EInstallError else.
    void CheckDestination();
    // The judgement of one of them; a directory the user already said Yes to is not asked again.
    void CheckDirectory(const std::string& target, std::vector<std::string>& accepted);
    // Creates dir and its missing parents; outside the protected folders each with the program folder's
    // access list, so that it does not inherit a list that lets ordinary users in.
    void MakeDirectories(const std::string& dir);
    // Whether this run wrote the file at path.
    bool Wrote(const std::string& path) const;

    // Creates the directories, the installation directory with the uninstall record first; false
    // when the installation directory cannot be made.
    bool PrepareDirectories();
    bool CreateTargetDir();
    // ForceDirectories, keeping the levels it made (also when it stops at one it cannot make) for the
    // record: the uninstall removes only directories the install made.
    void ForceDirectories(const std::string& dir);
    void RecordMadeDirectories(const std::vector<std::string>& dirs);
    void CopySetupProgram();
    void CopyFiles(const std::vector<std::string>& files);
    // Moves source into dir as target, a name not in use, where a rename can (true); the file is then what
    // the copy would have made.
    bool MoveInto(const std::string& source, const std::string& dir, const std::string& target);
    // Copies source into dir until it succeeds (true) or the user leaves the file out (false); Abort
    // stops the install with the message.
    bool CopyOrAsk(const std::string& source, const std::string& dir, const std::string& target);
    // Puts source beside target (which another program holds) under a new name and has it replace target
    // when Windows restarts; raises ECopyFileError when that cannot be arranged.
    void ReplaceWhenRestarted(const std::string& source, const std::string& target);
    // upperFiles: the list's entries in upper case.
    void CopyFile(const TFileEntry& entry, std::size_t index, const std::vector<std::string>& upperFiles,
                  const std::string& dir);
    void CreateShortcutsStep(const TInstallChoices& choices);
    void IniAndRegistryStep();
    void AutoexecStep();
    void LaunchProgram(bool LaunchChecked);

    const SetupConfig& Config_;
    SetupState& State_;
    std::unique_ptr<TInstallJournal> FJournal;
    TJournaledFiles FFiles;
    TJournaledIni FIni;
    TJournaledRegistry FRegistry;
    TJournaledLinks FLinks;
    // The machine as the install changes it: every change through the journal.
    TInstallSystem System_;
    TInstallProgress& Progress_;
    TShortcuts Shortcuts_;
    TRunLog* Log_;
    uint64_t InstalledBytes_ = 0;

    std::string WindowsDir_;
    std::string TargetDir_;
    std::string Launch_;
    TResolvedDirectories Directories_;
    // The files this run copied: only these are registered and launched.
    std::unordered_set<std::string, TSameTextHash, TSameTextEqual> FWritten;
    std::optional<TUninstallRecord> Record_;   // from the installation directory's creation on
    std::vector<std::string> MadeDirectories_; // made by this run, top down; recorded once Record_ is there
};

} // namespace yar
