// Where an installation leaves what undoes it: the record beside the uninstaller in the installation
// directory, and the product's entry in the system's list of installed programs. The install writes
// them, the uninstaller reads them back.
#pragma once

#include <string>

namespace yar {

inline constexpr const char* kUninstallRecordName = "uninstall.cfg";
inline constexpr const char* kUninstallerName = "uninstaller.exe";
// The record's section of the keys the install made directly below a registry root.
inline constexpr const char* kMadeKeysSection = "Registry - Made";

// The key of the list of installed programs, below HKEY_LOCAL_MACHINE.
inline constexpr const char* kUninstallListKey = "\\Software\\Microsoft\\Windows\\currentversion\\uninstall";

// The key of the product's entry in that list.
std::string UninstallKey(const std::string& title);
// A program and its arguments as one command line, the program quoted when it holds a blank.
std::string CommandLineOf(const std::string& program, const std::string& arguments);
// The command that uninstalls the product: the uninstaller, in quotes when its path holds a blank,
// and the product title.
std::string UninstallString(const std::string& TargetDir, const std::string& title);
// The program an entry's command starts: the quoted text, else the text up to the first ".exe"
// that ends a name; empty when the command names no program.
std::string UninstallProgramOf(const std::string& command);

} // namespace yar
