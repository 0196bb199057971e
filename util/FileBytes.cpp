#include "util/FileBytes.h"

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <utility>

namespace yar {

TFileBytes ReadFileBytes(const std::string& path) {
    TFileBytes read;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return read;
    read.Opened = true;
    char buffer[16384];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) read.Bytes.append(buffer, got);
    read.Complete = std::ferror(file.get()) == 0;
    return read;
}

std::string ReadWholeFile(const std::string& path) {
    TFileBytes read = ReadFileBytes(path);
    if (!read.Opened) throw std::runtime_error("Cannot open file " + path);
    if (!read.Complete) throw std::runtime_error("Cannot read file " + path);
    return std::move(read.Bytes);
}

} // namespace yar
