// The run's shared state: the directories of the run and whether it was cancelled. The background
// window owns it for the whole run; the preparation window and the wizard work on it.
#pragma once

#include <string>

namespace yar {

// The failure that ended a run, for its exit code.
enum TRunFailure { rfNone, rfPrepare, rfInstall };

struct SetupState {
    // The current directory once the run has changed into the directory named on the command line;
    // ends with "\". install.cfg and the archive volumes are looked for here.
    std::string StartDir;
    // A new directory of the run below the temporary directory, without a trailing "\": the archive is
    // expanded into it. Empty when none could be made.
    std::string WorkDir;
    // The first three characters of the Windows directory, e.g. C:\.
    std::string RootDir;
    // The first command-line argument; empty when there is none.
    std::string SourceDirArg;
    // The code of the language the run shows ("en", "de" ...): the uninstaller shows it too.
    std::string Language = "en";
    // The installation has been cancelled or has failed.
    bool Cancelled = false;
    TRunFailure Failure = rfNone;
    // The install engine finished its work.
    bool Installed = false;
    // Files in use were set to be replaced when Windows restarts: the run ends with the restart.
    bool RestartNeeded = false;
    // Files the user chose to leave out when they could not be written: the install is incomplete.
    int FilesLeftOut = 0;
};

} // namespace yar
