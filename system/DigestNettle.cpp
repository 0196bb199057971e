// SHA-256 through nettle (Debian's nettle-dev).
#include "system/Digest.h"

#include "util/NumberText.h"

#include <array>
#include <cstdint>

#include <nettle/sha2.h>

namespace yar {

std::optional<std::string> Sha256Hex(std::string_view bytes) {
    sha256_ctx context{};
    sha256_init(&context);
    sha256_update(&context, bytes.size(), reinterpret_cast<const uint8_t*>(bytes.data()));
    std::array<uint8_t, SHA256_DIGEST_SIZE> digest{};
    sha256_digest(&context, digest.size(), digest.data());
    return HexBytes(std::string_view(reinterpret_cast<const char*>(digest.data()), digest.size()));
}

} // namespace yar
