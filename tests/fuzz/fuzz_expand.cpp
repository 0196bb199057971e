// Expands one entry of a single method (YAR_FUZZ_METHOD) from fuzzer input and checks what every
// expansion must hold. The first four bytes are settings: the expanded size (up to 128 KiB), keyed
// input, a progress handler and the report at which it answers -1; the rest is the stored data.
#include "archive/CompThreadSafety.h"
#include "archive/ExpandStream.h"

#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <span>
#include <vector>

using namespace yar;

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

uint32_t ByteSum(std::span<const uint8_t> bytes) {
    return std::accumulate(bytes.begin(), bytes.end(), 0u);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr uint8_t kMethod = YAR_FUZZ_METHOD;
    if (size < 4) return 0;
    const auto destSize = static_cast<int32_t>(data[0] | data[1] << 8 | (data[2] & 1) << 16);
    const uint8_t flags = data[3];
    const bool keyed = flags & 1;
    const int stopAt = (flags & 2) ? (flags >> 2) : -1; // with a handler, the report answering -1
    const std::vector<uint8_t> stored(data + 4, data + size);
    // Now and then the entry claims more or fewer bytes than the source holds.
    auto sourceSize = static_cast<int32_t>(stored.size());
    if (data[2] & 4) sourceSize += 1000;
    if ((data[2] & 8) && sourceSize > 0) sourceSize /= 2;

    TCompThreadSafety state;
    TMemoryStream source(stored);
    TMemoryStream dest;
    int reports = 0;
    int32_t last = 0;
    const TShowProgressEvent progress = [&](int32_t& percent) {
        Require(percent >= 0 && percent <= 100 && (reports == 0 || percent >= last || percent == 100));
        last = percent;
        if (reports++ == stopAt) percent = -1;
    };
    int32_t checksum = -7;
    try {
        ExpandStream(state, dest, source, sourceSize, destSize, kMethod, checksum, keyed, 0x5A3C9617,
                     (flags & 2) ? progress : TShowProgressEvent());
    } catch (const ELZHBadDecodeTable&) {
        Require(kMethod == coLZH5 || kMethod == coLZH7);
        Require(checksum == -7);
        return 0;
    }
    Require(source.Position() <= sourceSize);
    if (stopAt == 0) {
        Require(checksum == -7 && dest.Size() == 0);
        return 0;
    }
    Require(static_cast<uint32_t>(checksum) == ByteSum(dest.Bytes()));
    const int64_t written = dest.Size();
    switch (kMethod) {
    case coLZH5:
    case coLZH7:
        Require(written >= destSize && written < destSize + 256);
        break;
    case coLZH:
        Require(written >= destSize && written < destSize + 60);
        break;
    case coNone:
        Require(written <= sourceSize);
        break;
    default:
        break;
    }
    return 0;
}
