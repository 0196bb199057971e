// A whole file's bytes through the system's own calls: the toolkit loads pictures and texts from files
// without the project's helpers and without the C++ library's streams.
#pragma once

#include <string>

namespace yar {

// Raises std::runtime_error "Cannot open file <path>" or "Cannot read file <path>".
std::string ReadFileContents(const std::string& path);

} // namespace yar
