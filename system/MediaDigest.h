// The digest the media manifest is made and checked with: the system's SHA-256 service. The one place
// the setup program and yar take it from.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace yar {

// SHA-256 of bytes as 64 lower-case hexadecimal digits (the system's service, Digest.h), nothing when
// the system cannot give one.
std::function<std::optional<std::string>(std::string_view bytes)> MediaDigest();

} // namespace yar
