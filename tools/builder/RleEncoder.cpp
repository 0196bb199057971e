// coRLE encoding: a run of 3..255 equal bytes goes out as the byte, the escape byte 0x94 and the run
// length; the escape byte itself as 0x94 0x00. The decoder repeats the last byte it took from the
// input, which after an escape sequence is the escape byte, not the repeated one: every run therefore
// starts with a fresh copy of its byte (for the escape byte that copy is 0x94 0x00, which leaves 0x94
// as the byte to repeat).
#include "tools/builder/Encoders.h"

#include <algorithm>

namespace yar::builder {

namespace {

constexpr uint8_t kEscape = 0x94;
constexpr size_t kMinRun = 3;
constexpr size_t kMaxRun = 255; // the count is one byte; 0 stands for the escape byte itself

void PutByte(std::vector<uint8_t>& out, uint8_t b) {
    out.push_back(b);
    if (b == kEscape) out.push_back(0);
}

// count (kMinRun..kMaxRun) copies of b: b once, then the escape and the count that makes the decoder
// repeat the byte before it count - 1 times.
void PutRun(std::vector<uint8_t>& out, uint8_t b, size_t count) {
    PutByte(out, b);
    out.push_back(kEscape);
    out.push_back(static_cast<uint8_t>(count));
}

} // namespace

std::vector<uint8_t> EncodeRLE(std::span<const uint8_t> data) {
    std::vector<uint8_t> out;
    out.reserve(data.size() + data.size() / 8);
    for (size_t i = 0; i < data.size();) {
        const uint8_t b = data[i];
        size_t run = 1;
        while (i + run < data.size() && data[i + run] == b) ++run;
        i += run;
        for (; run >= kMinRun; run -= std::min(run, kMaxRun)) PutRun(out, b, std::min(run, kMaxRun));
        for (; run > 0; --run) PutByte(out, b);
    }
    return out;
}

} // namespace yar::builder
