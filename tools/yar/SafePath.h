// Stored names are untrusted: an archive may name files by absolute paths, drive letters, ".."
// components or either separator. These turn such a name into a path that stays inside a directory.
#pragma once

#include <string>
#include <vector>

namespace yar::tool {

// The components of a stored or target path that may be recreated below an extraction directory:
// drive letters and leading separators dropped, "\" and "/" both separating, "." and ".." and empty
// components removed, and characters or names Windows gives a meaning of its own made plain.
// Empty when nothing is left.
std::vector<std::string> SafeComponents(const std::string& storedPath);

// Dir joined with the safe components by the platform's separator; empty when nothing is left.
std::string SafeTargetPath(const std::string& dir, const std::string& storedPath);

// The safe components joined by "/": where an entry lands below the extraction directory.
std::string SafeRelativePath(const std::string& storedPath);

// Whether a stored path is chosen by a pattern ("*" any run of characters, "?" one, letter case
// ignored, either separator): the pattern is matched against the path below the extraction
// directory, and one without a separator against the file name alone.
bool MatchesEntryPattern(const std::string& pattern, const std::string& storedPath);

} // namespace yar::tool
