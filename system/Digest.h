// SHA-256 from a well-kept implementation of the platform: CryptoAPI (advapi32) on Windows, nettle
// elsewhere. The uninstall record's digest is kept in the registration and checked by the uninstaller.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace yar {

// The SHA-256 digest of bytes as 64 lower-case hexadecimal digits; nothing when the platform's
// implementation cannot be had (on Windows: no provider with SHA-256).
std::optional<std::string> Sha256Hex(std::string_view bytes);

} // namespace yar
