#include "system/Win32IniFiles.h"

#include <array>

#include <windows.h>

namespace yar {

bool TWin32IniFiles::WriteString(const std::string& file, const std::string& section, const std::string& key,
                                 const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != 0;
}

bool TWin32IniFiles::DeleteSection(const std::string& file, const std::string& section) {
    return WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, file.c_str()) != 0;
}

std::string TWin32IniFiles::ReadString(const std::string& file, const std::string& section,
                                       const std::string& key, const std::string& fallback) const {
    std::array<char, kIniValueBufferSize> buffer{};
    const DWORD length =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer.data(),
                                 static_cast<DWORD>(buffer.size()), file.c_str());
    return std::string(buffer.data(), length);
}

} // namespace yar
