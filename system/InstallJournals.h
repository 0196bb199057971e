// Where the journals of installs are kept on Windows, and the mark of an install that is running.
#pragma once

#include <memory>
#include <string>

#include "system/Streams.h"

namespace yar {

// The directory of the journals: with administrator rights the Windows directory's "YAR Setup\Journals",
// which only administrators may change; without them the user's own local application data. Made as
// needed, with the Administrators-and-SYSTEM list when elevated. Raises EInOutError when it cannot be made,
// or when another account may change it: a journal there could not be trusted.
std::string JournalsDirectory();
// Removes the journals directory and its "YAR Setup" parent where they are empty.
void RemoveEmptyJournalsDirectory(const std::string& journals);

// A running install keeps this file of its journal's directory open without sharing: an install that was
// killed left it closed.
class TRunningMark {
public:
    explicit TRunningMark(const std::string& journalDir);
    ~TRunningMark();
    TRunningMark(const TRunningMark&) = delete;
    TRunningMark& operator=(const TRunningMark&) = delete;

private:
    std::string FPath;
    std::unique_ptr<TFileStream> FFile;
};
// Whether the install of that journal's directory is running.
bool InstallRunning(const std::string& journalDir);

} // namespace yar
