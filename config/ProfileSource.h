// A source of profile (INI) values: what the configuration loader reads through. One
// implementation calls the Windows profile functions, the other reads the file itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace yar {

// Buffers the reader hands to the profile functions: values are cut to 1023 characters, a
// section's key listing and its lines to what fits into 8192 bytes.
inline constexpr std::size_t kProfileValueBufferSize = 1024;
inline constexpr std::size_t kProfileKeyListBufferSize = 8192;

class TProfileSource {
public:
    TProfileSource() = default;
    virtual ~TProfileSource() = default;
    TProfileSource(const TProfileSource&) = delete;
    TProfileSource& operator=(const TProfileSource&) = delete;

    // The value of key in section, fallback when the key is missing; at most 1023 characters.
    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& fallback) const = 0;
    // The key names of section in file order, as far as the 8192-byte listing holds them.
    virtual std::vector<std::string> ReadKeyNames(const std::string& section) const = 0;
    // The lines of section in file order as the section read returns them: "name=value", or the
    // name alone for a line without "=" (which the key listing leaves out), comments left out; as
    // far as the 8192-byte buffer holds them.
    virtual std::vector<std::string> ReadSectionLines(const std::string& section) const = 0;

    // ReadString with an empty fallback, converted by ConfigInteger / ConfigBoolean.
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t fallback) const;
    bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;
};

// The strings of a listing the profile functions fill: each string is followed by a NUL and the
// list ends with an empty string. Reading stops at the first empty string or at the end of the
// buffer.
std::vector<std::string> StringsFromListing(std::string_view listing);

} // namespace yar
