// A whole file's bytes through the C library, so that reading a small file pulls in no stream or
// locale machinery.
#pragma once

#include <string>

namespace yar {

// What reading a whole file gave.
struct TFileBytes {
    bool Opened = false;   // the file could be opened
    bool Complete = false; // every read succeeded up to the end of the file
    std::string Bytes;     // what was read, up to a failed read
};

TFileBytes ReadFileBytes(const std::string& path);

// The whole file; raises std::runtime_error "Cannot open file <path>" or "Cannot read file <path>".
std::string ReadWholeFile(const std::string& path);

} // namespace yar
