// The rules of the setup driver that need no operating system: the directories of the run, the
// preset of the end choice, and how the run ends.
#pragma once

#include "config/SetupState.h"
#include "config/SetupSwitches.h"
#include "config/SetupWizard.h"

#include <string>

namespace yar {

// The current directory as the start directory: "\" is appended unless it is a drive root such as
// C:\, which already ends with one (only paths longer than three characters get it).
std::string StartDirFrom(const std::string& currentDir);
// The working directory is a new directory below the temporary directory, its name this prefix and
// random letters.
inline constexpr const char* kWorkDirPrefix = "yar-";
// Inside it, the segment reader's temporary copies of the set's archives and name lists: apart from the
// expanded files, whose names the archive chooses.
inline constexpr const char* kSegmentDirName = "~segments";
std::string SegmentDirOf(const std::string& workDir);
// The root of the Windows drive: the first three characters of the Windows directory.
std::string RootDirFrom(const std::string& windowsDir);

// Whether the directory the first argument named may be emptied and removed at the end of the run: only
// when it lies below the system's temporary directory, where a setup started from a temporary copy of
// its media has it. Anywhere else it is the user's own (a distribution folder, install.exe .) and stays.
bool SourceDirIsDisposable(const std::string& sourceDir, const std::string& tempDir);

// How the run ends, in the order the close handler checks; a failed run ends as a cancelled one.
enum TRunEnd { reRestart, reCancelled, reCompleted, reIncomplete, reLaunched };
TRunEnd RunEndFor(TEndChoice choice, const SetupState& state);

// The message the close handler shows for an end; empty for reLaunched, which shows none. header is
// the first header's text, the product title. Lines are separated by single carriage returns.
std::string RunEndMessage(TRunEnd end, const std::string& header);

// Why a restart the run would make is left to the caller: /NORESTART, or an unattended run whose restart
// would only replace files other programs held (any account that may read a file can hold it open),
// without /ALLOWRESTART; empty when the restart is made.
std::string RestartLeftToCaller(TEndChoice choice, const SetupState& state, const TSetupSwitches& switches);

// The exit code of a run that started: a failure's, else the cancel's, else installed; an install
// that chose the restart reports it with exRestartNeeded when noRestart kept it from being made.
TExitCode ExitCodeFor(const SetupState& state, TEndChoice choice, bool noRestart);

} // namespace yar
