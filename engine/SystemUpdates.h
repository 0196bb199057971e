// How the install changes the system for the installed program: INI and registry values and
// AUTOEXEC.BAT. (The entry of the uninstaller in the list of installed programs is part of the
// uninstall record.)
#pragma once

#include <string>
#include <vector>

#include "config/ConfigRecords.h"
#include "engine/InstallDirectories.h"
#include "engine/UninstallRecord.h"
#include "system/Files.h"
#include "system/IniFiles.h"
#include "system/Registry.h"

namespace yar {

// Target and Value of each entry that begin with a row's tag (the text up to their first ">") get that
// row's path and "\" in its place; rows in order, then entries in order. The fields stay apart, so a
// path holding "~" (C:\PROGRA~1) does not split a field.
void ReplaceIniTags(std::vector<TIniEntry>& entries, const TResolvedDirectories& directories);

// Where an INI entry's file is: its Target, or in the Windows directory when that names no directory.
std::string IniFilePath(const std::string& file, const std::string& WindowsDir);

// Where a registry entry's value goes.
struct TRegistryTarget {
    TRegRoot Root = rrCurrentUser;
    std::string Key;    // "\" + key path below the root
    std::string Record; // the [Registry] record: Target with its root name

    bool operator==(const TRegistryTarget&) const = default;
};

// Target (optionally beginning with a root name) and the subkey Section joined by one "\",
// Section's trailing "\" dropped. A key path beginning "HKEY_" loses its first name and is below
// HKEY_LOCAL_MACHINE when it holds that name anywhere, else below HKEY_CURRENT_USER (HKEY_CLASSES_ROOT and
// HKEY_USERS included); a key path without a root name is below HKEY_CURRENT_USER.
TRegistryTarget RegistryTargetOf(const TIniEntry& entry);

// Creates key and sets its string value; raises EInstallError "Failed to create key <key>" or
// "Failed to set data for '<name>'".
void WriteRegistryString(TRegistry& registry, TRegRoot root, const std::string& key, const std::string& name,
                         const std::string& value);

// Records and writes one entry: an INI value (EInstallError "Unable to write to <Target>" when the
// file cannot be written) or a registry value.
void WriteIniEntry(const TIniEntry& entry, const std::string& WindowsDir, TIniFiles& ini, TRegistry& registry,
                   TUninstallRecord& record);

// What AUTOEXEC.BAT lines may name.
struct TAutoexecPlaces {
    const std::string& RootDir;
    const TResolvedDirectories& Directories;
    const TFiles& Files; // for the short forms of the directories
};

// A configured line as it goes into AUTOEXEC.BAT: upper case, "COPY " made "COPY/Y ", <ROOT> and
// the rows' tags replaced, one of each per pass, until a pass changes nothing (or, for a path that
// brings its own tag back, until a fixed number of passes).
std::string AutoexecLine(const std::string& line, const TAutoexecPlaces& places);

// The configured lines, converted, appended to lines between the two REM lines of the block.
void AppendAutoexecBlock(std::vector<std::string>& lines, const std::vector<std::string>& AutoexecLines,
                         const TAutoexecPlaces& places);

// Writes lines as a whole file; raises EInstallError "Cannot create file <path>" when it cannot.
void SaveLines(TFiles& files, const std::string& path, const std::vector<std::string>& lines);

} // namespace yar
