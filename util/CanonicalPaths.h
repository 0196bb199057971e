// A path read from a file another account might have written (the uninstall record) is made canonical
// before anything compares it: the system reads "C:\Windows\win.ini." as "C:\Windows\win.ini" and
// "C:\Other\.\app.exe" as "C:\Other\app.exe", so a guard that compares the text as written is passed by
// the other spelling. The rule here is GetFullPathName's for a full local path, with what has no single
// reading refused: a name ending in a dot or a blank, a stream, a network or device path, a device name.
#pragma once

#include <string>
#include <string_view>

namespace yar {

struct TCanonicalPath {
    std::string Path;    // the canonical path; empty when refused
    std::string Refusal; // why the path is refused; empty when it is not

    bool Refused() const { return !Refusal.empty(); }
    bool operator==(const TCanonicalPath&) const = default;
};

// The canonical form of a full local path ("C:\dir\name"): "\" and "/" both separate, doubled
// separators count once, "." parts go and ".." parts take the part before them away (never the
// drive's root), the drive letter is upper-cased, and no separator ends it but a root's ("C:\").
// Refused: an empty path; a network path ("\\server\share", "//server/share"); a device or
// NT-namespace path ("\\?\", "\\.\", "\??\"); anything not beginning with a drive letter, its colon
// and a separator (a relative path, "C:name" on the drive's current directory, "\dir" on the current
// drive); a colon after the drive's (an alternate stream); a part ending in a dot or a blank, other than
// "." and ".."; a device name as a part (CON, NUL, COM1 ... with any extension); a control character
// or one of < > " |. "*" and "?" are taken in the last part when wildcards is true (the uninstall
// record's patterns), and refused anywhere else.
TCanonicalPath CanonicalPath(std::string_view path, bool wildcards = false);

// Whether path (canonical) is dir (canonical) or lies below it, letter case ignored.
bool CanonicalWithin(std::string_view path, std::string_view dir);

} // namespace yar
