// Paths as the system writes them: "\" separates, and is read wherever a separator may stand. On
// other platforms "/" is a separator as well, so that the same names work on the host.
#pragma once

#include <string>
#include <string_view>

namespace yar {

inline constexpr char kPathDelimiter = '\\';

inline bool IsPathDelimiter(char c) {
#ifdef _WIN32
    return c == '\\';
#else
    return c == '\\' || c == '/';
#endif
}

// path with one separator at its end: one is appended unless the last character already is one.
std::string IncludeTrailingDelimiter(std::string path);
// path without its last character when that is a separator: one goes, even from a root ("C:\").
std::string ExcludeTrailingDelimiter(std::string path);

// dir and name joined by exactly one separator; an empty dir gives name as it is.
std::string JoinPath(std::string_view dir, std::string_view name);

// Everything up to and including the last separator, else a leading drive ("C:"); empty when there
// is neither.
std::string ExtractFilePath(std::string_view path);
// ExtractFilePath without its trailing separator (a drive root keeps it).
std::string ExtractFileDir(std::string_view path);
// What follows the directory part.
std::string ExtractFileName(std::string_view path);

// A drive root such as "C:\", "C:" or "\": nothing a run may empty or remove.
bool IsDriveRoot(std::string_view path);

// path as the file calls read it from the directory dir, written out: a path that begins with a drive and
// its separator, or a network path, is as it is; one that begins with a separator is on dir's drive; any
// other (a bare name above all, which the profile functions would look for in the Windows directory
// instead) lies below dir.
std::string PathFrom(std::string_view dir, std::string_view path);

} // namespace yar
