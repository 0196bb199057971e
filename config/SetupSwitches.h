// The command line of install.exe: the optional directory of the setup files and the switches of an
// unattended run, the answers that stand in for the wizard's pages, and the exit codes of the run.
#pragma once

#include "config/SetupWizard.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace yar {

// How much of the run is shown: everything; the background and the progress only; nothing.
enum TRunMode { rmInteractive, rmSilent, rmVerySilent };

// The process's exit codes, fixed for those who deploy with them.
enum TExitCode {
    exInstalled = 0,
    exBadStart = 1,       // bad arguments, or the setup could not start
    exCancelled = 2,      // the user left before the install began
    exPrepareFailed = 3,  // a volume missing, wrong or corrupt
    exInstallStopped = 4, // the install stopped on a failure
    exRestartNeeded = 5,  // installed; the restart the run would have made was left to the caller
    exIncomplete = 6,     // installed, some files left out at the user's request
};

// A bad switch or answer; the message names it.
class ESwitchError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The answers a run without pages gives in their place. A missing answer leaves the page's own value.
struct TSetupAnswers {
    std::optional<std::string> Dir;
    std::optional<bool> MinInstall;
    std::optional<bool> FolderStartMenu; // "Add Folder to Start Menu"
    std::optional<bool> FolderDesktop;   // "Add Folder to Desktop"
    // The shortcuts ticked on the desktop and in the Start Menu, by name; the others are unticked.
    std::optional<std::vector<std::string>> Desktop;
    std::optional<std::vector<std::string>> StartMenu;
    std::optional<TEndChoice> EndChoice;
    // The answer to "Overwrite?"; without one an unattended run keeps the user's file.
    std::optional<bool> Overwrite;
    // A file that cannot be written: left out (true) or the install stopped and undone; without an answer
    // an unattended run stops.
    std::optional<bool> IgnoreFileErrors;

    bool operator==(const TSetupAnswers&) const = default;
};

// Every answer of first, and those of second where first has none.
TSetupAnswers MergeAnswers(const TSetupAnswers& first, const TSetupAnswers& second);

struct TSetupSwitches {
    TRunMode Mode = rmInteractive;
    // The first argument that is no switch: the directory of the setup files; empty when none.
    std::string SourceDir;
    TSetupAnswers Answers; // /DIR, /TYPE, /FOLDERS, /OVERWRITE
    bool NoLaunch = false;
    bool NoRestart = false;
    // An unattended run restarts Windows to replace files other programs hold only with /ALLOWRESTART:
    // any account that may read a file can hold it open.
    bool AllowRestart = false;
    bool Help = false;
    std::optional<std::string> Log; // /LOG; an empty value asks for the default file
    std::string LoadInf;
    std::string SaveInf;
    std::optional<std::string> Language; // /LANG: a language code, lower case

    bool Unattended() const { return Mode != rmInteractive; }
};

// The arguments after the program's name. An argument is a switch only when its name (after "/" or
// "-", up to "=") is one of the switches, in any case; every other argument is left as the directory
// argument. Raises ESwitchError for a switch with a missing, unexpected or unknown value.
TSetupSwitches ParseSetupSwitches(const std::vector<std::string>& args);

// Whether the arguments ask for a run without questions, even when another of them is bad: then a
// bad argument is not shown either.
bool AsksNothing(const std::vector<std::string>& args);

// The words of values, shared by the switches and the answer file; each raises ESwitchError for a
// word it does not know, naming what.
bool InstallTypeIsMin(std::string_view word, std::string_view what);
std::string InstallTypeWord(bool minInstall);
bool YesNo(std::string_view word, std::string_view what);
// "ignore" or "abort": whether a file that cannot be written is left out.
bool IgnoresFileErrors(std::string_view word, std::string_view what);
std::string FileErrorsWord(bool ignore);
std::string YesNoWord(bool yes);
TEndChoice EndChoiceFromWord(std::string_view word, std::string_view what);
std::string EndChoiceWord(TEndChoice choice);
// "desktop,startmenu", either, or none: sets both folder answers.
void ParseFolderWords(std::string_view words, std::string_view what, TSetupAnswers& answers);
std::string FolderWords(bool startMenu, bool desktop);

// The log's last line: "End: exit code 4".
std::string ExitLogText(TExitCode code);

// The log file /LOG makes without a value: yar-setup-<part>.log in the temporary directory, part drawn
// at random for each run (the directory is shared with every user).
std::string DefaultLogPath(const std::string& tempDir, const std::string& randomPart);

// The box /? and /HELP show.
extern const char* const kSwitchHelpText;

} // namespace yar
