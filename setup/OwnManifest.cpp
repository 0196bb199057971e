// The block yar build fills in this program's file. Nothing else in the program holds the marker, so
// yar build finds the block by it.
#include "setup/MediaCheck.h"

#include <vector>

namespace yar {

namespace {

constexpr auto& M = kManifestMarker;
// Volatile: every read goes to the bytes of the image as yar build left them, never to the zeros the
// compiler saw.
volatile const uint8_t kOwnManifestBlock[kManifestBlockSize] = {
    M[0], M[1], M[2], M[3], M[4], M[5], M[6], M[7], M[8], M[9], M[10], M[11], M[12], M[13], M[14], M[15]};

} // namespace

std::optional<TMediaManifest> OwnMediaManifest() {
    std::vector<uint8_t> block(kManifestBlockSize);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = kOwnManifestBlock[i];
    return DecodeManifestBlock(block);
}

} // namespace yar
