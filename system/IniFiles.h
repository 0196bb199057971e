// INI files written value by value, the way the install records its uninstall data and the
// configured INI values: TWin32IniFiles on the profile functions, THostIniFiles writing the same
// bytes through a TFiles.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace yar {

// Values are cut to 1023 characters on reading, as by a 1024-byte buffer.
inline constexpr std::size_t kIniValueBufferSize = 1024;

class TIniFiles {
public:
    TIniFiles() = default;
    virtual ~TIniFiles() = default;
    TIniFiles(const TIniFiles&) = delete;
    TIniFiles& operator=(const TIniFiles&) = delete;

    // Sets key in section of file to value, creating the file, the section (at the end of the
    // file) or the key (at the end of its section) as needed; section and key names match without
    // regard to case, the first match wins. A file named without a directory is in the Windows
    // directory. False when the file cannot be read or written.
    virtual bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& value) = 0;
    // Adds each of keys that section of file does not hold yet (names matched as WriteString matches
    // them) at the end of the section, without a value ("key="), creating the file and the section as
    // WriteString would; keys already there stay as they are. One read and one write of the file for
    // them all, where WriteString would take one each. False when the file cannot be read or written.
    virtual bool AddKeys(const std::string& file, const std::string& section,
                         const std::vector<std::string>& keys) = 0;
    // Removes the first section of that name with all its keys; a missing section or file is no
    // error and creates nothing.
    virtual bool DeleteSection(const std::string& file, const std::string& section) = 0;
    // The value of key, without enclosing quotes; fallback when the file, section or key is missing.
    virtual std::string ReadString(const std::string& file, const std::string& section,
                                   const std::string& key, const std::string& fallback) const = 0;
};

} // namespace yar
