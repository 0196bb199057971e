// What a file or directory is apart from its name: the volume it lies on and its number there. Two names
// of one identity are one object; a name that holds another identity than before holds another object.
#pragma once

#include <cstdint>

namespace yar {

struct TFileIdentity {
    uint64_t Volume = 0;
    uint64_t File = 0;

    bool operator==(const TFileIdentity&) const = default;
};

} // namespace yar
