// Stand-ins for builder encoders whose sources are not in the tree yet, so that the container tests
// link; they refuse to encode. The build adds each one only while its encoder source is missing.
#include "tools/builder/Encoders.h"

#include <stdexcept>

namespace yar::builder {

#ifdef YAR_STANDIN_LH5
std::vector<uint8_t> EncodeLZH5(std::span<const uint8_t>) {
    throw std::logic_error("no lh5 encoder in this build");
}
#endif
#ifdef YAR_STANDIN_LZH
std::vector<uint8_t> EncodeLZH(std::span<const uint8_t>) {
    throw std::logic_error("no LZH encoder in this build");
}
#endif
#ifdef YAR_STANDIN_RLE
std::vector<uint8_t> EncodeRLE(std::span<const uint8_t>) {
    throw std::logic_error("no RLE encoder in this build");
}
#endif

} // namespace yar::builder
