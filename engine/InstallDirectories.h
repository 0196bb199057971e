// The directories of one install: each [Directories] row's tag and the path it stands for, and the
// program to launch, whose leading tag names one of them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/ConfigRecords.h"

namespace yar {

// One row of ResolvedDirectories: the row's tag in upper case and its path.
struct TResolvedDirectory {
    std::string Tag;
    std::string Path;

    bool operator==(const TResolvedDirectory&) const = default;
};
using TResolvedDirectories = std::vector<TResolvedDirectory>;

// What the tags are resolved against.
struct TDirectoryBases {
    std::string WindowsDir; // no trailing "\" unless it is a drive root
    std::string RootDir;    // the root of the Windows drive, "C:\"
    std::string TargetDir;  // the installation directory
};

// The path a row stands for: a fixed tag is its base directory itself, any other tag puts the row's
// path text below its base (a compound tag naming no base takes the path text as it stands).
std::string ResolvePath(const TDirectoryRow& row, const TDirectoryBases& bases);

// Whether path lies in one of the system's protected folders, the program folder or the Windows
// directory, whose access lists keep ordinary users out: a directory made there inherits that. Any
// other directory the install makes gets an access list of its own. A path that climbs with "..", or
// that the system would read otherwise than written, is never counted as inside.
bool InProtectedFolder(const std::string& path, const TDirectoryBases& bases);

// Whether some value of DirectoryEntries has the tag <INSTALLDIR>: without it there is no
// installation directory and nothing to record the install in.
bool HasInstallDirRow(const std::vector<std::string>& DirectoryEntries);

// When Launch begins with tag (ignoring case), the tag becomes path + "\"; true when it did. A tag
// elsewhere in Launch is left alone, so a later row's tag is never cut out of the middle of it.
bool RewriteLaunch(std::string& Launch, std::string_view tag, std::string_view path);

} // namespace yar
