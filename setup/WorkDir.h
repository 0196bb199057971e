// The directories of the run: where Windows lives, entering the start directory, making and
// cleaning the working directory.
#pragma once

#include <string>

namespace yar {

// The Windows directory as GetWindowsDirectoryA returns it into a 144-byte buffer.
std::string WindowsDirectory();
// The current directory of the current drive.
std::string CurrentDirectory();
// Makes dir the current directory; raises EInOutError with the system's text for the error.
void EnterDirectory(const std::string& dir);
// Creates dir with all missing parents; false when it does not exist afterwards.
bool ForceDirectories(const std::string& dir);
// Deletes every file of dir, then dir itself. Files that cannot be deleted, subdirectories and a
// directory that cannot be removed stay without a message. An empty path and a drive root are left
// alone: neither can be a directory of the run, and cleaning them would empty a drive's root.
void CleanWorkDir(const std::string& dir);
bool NamesNoWorkDir(const std::string& dir);

} // namespace yar
