// TIniFiles over WritePrivateProfileStringA and GetPrivateProfileStringA. Give full paths: the
// profile functions put a file named without a directory into the Windows directory (which the
// install relies on for names such as SYSTEM.INI), and take a relative path with a directory from
// the current one. The system may keep some well-known files (WIN.INI, SYSTEM.INI) partly in the
// registry instead (IniFileMapping).
#pragma once

#include "system/IniFiles.h"

namespace yar {

class TWin32IniFiles final : public TIniFiles {
public:
    bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
    // The section read once (GetPrivateProfileSectionA) and written back whole with the new keys after
    // its own (WritePrivateProfileSectionA).
    bool AddKeys(const std::string& file, const std::string& section,
                 const std::vector<std::string>& keys) override;
    bool DeleteSection(const std::string& file, const std::string& section) override;
    std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& fallback) const override;
};

} // namespace yar
