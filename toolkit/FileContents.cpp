#include "toolkit/FileContents.h"

#include <windows.h>

#include <stdexcept>

namespace yar {

std::string ReadFileContents(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("Cannot open file " + path);
    std::string bytes;
    char buffer[16384];
    DWORD got = 0;
    bool complete = true;
    while ((complete = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    if (!complete) throw std::runtime_error("Cannot read file " + path);
    return bytes;
}

} // namespace yar
