// The base of every error about an archive's content, shared by the expansion engine's decoders and
// the container above them, so that one handler takes both.
#pragma once

#include <stdexcept>

namespace yar {

// Every error the container or a decoder raises about an archive's content derives from this class.
class ECompressError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace yar
