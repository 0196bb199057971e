#include "system/MediaDigest.h"

#include "system/Digest.h"

namespace yar {

std::function<std::optional<std::string>(std::string_view bytes)> MediaDigest() {
    return Sha256Hex;
}

} // namespace yar
