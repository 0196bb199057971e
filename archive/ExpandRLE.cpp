#include "archive/Decoders.h"

namespace yar {

namespace {
constexpr uint8_t kRLEEscape = 0x94; // followed by a count: 0 = the escape byte itself, n = n-1 repeats
}

void ExpandRLE(TCompThreadSafety& s) {
    for (;;) {
        const uint8_t b = s.ReadByte();
        if (s.EndOfInput) break;
        if (b != kRLEEscape) {
            s.WriteByte(b);
        } else {
            const uint8_t n = s.ReadByte(); // a lone escape at the end reads 0: the escape byte
            if (n == 0) {
                s.WriteByte(kRLEEscape);
            } else {
                for (s.RunCount = n - 1; s.RunCount > 0; --s.RunCount) s.WriteByte(s.PrevByte);
            }
        }
        s.PrevByte = b; // after an escape sequence this is the escape byte, not the repeated one
    }
}

} // namespace yar
