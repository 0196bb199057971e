// What the builders raise about their inputs and outputs. A caller's own mistakes (encoder parameters,
// records it filled in by hand) stay std::invalid_argument.
#pragma once

#include <stdexcept>

namespace yar::builder {

// Files, names or counts beyond what an archive or a segment set can hold.
class EBuildLimit : public std::length_error {
public:
    using std::length_error::length_error;
};

// A volume file that cannot be created or written.
class EVolumeFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace yar::builder
