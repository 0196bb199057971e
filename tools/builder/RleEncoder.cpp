// coRLE encoding: a run of 3..255 equal bytes goes out as the byte, the escape byte 0x94 and the run
// length; the escape byte itself as 0x94 0x00. The decoder repeats the last byte it took from the
// input, which after an escape sequence is the escape byte, not the repeated one: every run therefore
// starts with a fresh copy of its byte (for the escape byte that copy is 0x94 0x00, which leaves 0x94
// as the byte to repeat).
#include "tools/builder/Encoders.h"

#include <algorithm>
#include <memory>

namespace yar::builder {

namespace {

constexpr uint8_t kEscape = 0x94;
constexpr uint64_t kMinRun = 3;
constexpr uint64_t kMaxRun = 255; // the count is one byte; 0 stands for the escape byte itself

void PutByte(std::vector<uint8_t>& out, uint8_t b) {
    out.push_back(b);
    if (b == kEscape) out.push_back(0);
}

// count (kMinRun..kMaxRun) copies of b: b once, then the escape and the count that makes the decoder
// repeat the byte before it count - 1 times.
void PutRun(std::vector<uint8_t>& out, uint8_t b, uint64_t count) {
    PutByte(out, b);
    out.push_back(kEscape);
    out.push_back(static_cast<uint8_t>(count));
}

// Runs may cross the pieces the data comes in: the last run is held until a different byte or the
// end of the data closes it.
class TRleEncoder final : public TStreamEncoder {
public:
    void Put(std::span<const uint8_t> data, std::vector<uint8_t>& out) override {
        for (const uint8_t b : data) {
            if (FRun > 0 && b == FByte) {
                ++FRun;
                continue;
            }
            PutPending(out);
            FByte = b;
            FRun = 1;
        }
    }

    void Finish(std::vector<uint8_t>& out) override { PutPending(out); }

    uint64_t BytesCoded() const override { return FCoded; }

private:
    uint8_t FByte = 0;
    uint64_t FRun = 0;
    uint64_t FCoded = 0;

    void PutPending(std::vector<uint8_t>& out) {
        FCoded += FRun;
        for (; FRun >= kMinRun; FRun -= std::min(FRun, kMaxRun)) PutRun(out, FByte, std::min(FRun, kMaxRun));
        for (; FRun > 0; --FRun) PutByte(out, FByte);
    }
};

} // namespace

std::unique_ptr<TStreamEncoder> MakeRLEEncoder() {
    return std::make_unique<TRleEncoder>();
}

std::vector<uint8_t> EncodeRLE(std::span<const uint8_t> data) {
    return EncodeAll(*MakeRLEEncoder(), data);
}

} // namespace yar::builder
