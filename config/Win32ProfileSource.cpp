#include "config/Win32ProfileSource.h"

#include <array>

#include <windows.h>

namespace yar {

namespace {

std::string FullPathOf(const std::string& fileName) {
    std::array<char, MAX_PATH> buffer{};
    const DWORD length =
        GetFullPathNameA(fileName.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size()) return fileName; // left for the profile functions
    return std::string(buffer.data(), length);
}

// A NUL-separated listing filled by fill(buffer, size), which returns the count of characters.
template <typename Fill> std::vector<std::string> ReadListing(Fill fill) {
    std::vector<char> buffer(kProfileKeyListBufferSize, '\0');
    if (fill(buffer.data(), static_cast<DWORD>(buffer.size())) == 0) return {};
    return StringsFromListing(std::string_view(buffer.data(), buffer.size()));
}

} // namespace

TWin32ProfileSource::TWin32ProfileSource(const std::string& fileName) : FileName_(FullPathOf(fileName)) {}

std::string TWin32ProfileSource::ReadString(const std::string& section, const std::string& key,
                                            const std::string& fallback) const {
    std::array<char, kProfileValueBufferSize> buffer{};
    const DWORD length =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer.data(),
                                 static_cast<DWORD>(buffer.size()), FileName_.c_str());
    return std::string(buffer.data(), length);
}

std::vector<std::string> TWin32ProfileSource::ReadKeyNames(const std::string& section) const {
    return ReadListing([&](char* buffer, DWORD size) {
        return GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer, size, FileName_.c_str());
    });
}

std::vector<std::string> TWin32ProfileSource::ReadSectionLines(const std::string& section) const {
    return ReadListing([&](char* buffer, DWORD size) {
        return GetPrivateProfileSectionA(section.c_str(), buffer, size, FileName_.c_str());
    });
}

} // namespace yar
