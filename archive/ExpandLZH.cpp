// coLZH: LZSS over a 4 KiB window. Literals and match lengths share one adaptive Huffman tree that
// both sides update after every symbol; the upper six bits of a match position have a fixed code.
#include "archive/Decoders.h"
#include "archive/LzhModel.h"

#include <cstring>

namespace yar {

namespace {

using St = TLZHState;
constexpr int T = TLzhModel::kNodes;
constexpr int kRoot = TLzhModel::kRoot;
constexpr uint32_t kWindowMask = St::kWindowSize - 1;
constexpr uint32_t kLengthBias = 256 - 3; // symbol 256 is a match of 3 bytes

class TLZHDecoder {
public:
    TLZHDecoder(TCompThreadSafety& io, St& st) : FIo(io), FSt(st) {}

    void Run(int32_t destSize) {
        StartModel();
        // Spaces throughout: the part from r on is never read by LZHUF data, and LHA tools start
        // their dictionaries as all spaces.
        std::memset(FSt.TextBuf, ' ', sizeof FSt.TextBuf);
        uint32_t r = St::kWindowSize - St::kLongestMatch;
        int64_t count = 0;
        while (count < destSize) {
            const uint32_t sym = DecodeSymbol();
            if (sym < 256) {
                Put(r, static_cast<uint8_t>(sym));
                ++count;
                continue;
            }
            const uint32_t src = r - DecodePosition() - 1;
            const uint32_t length = sym - kLengthBias;
            for (uint32_t k = 0; k < length; ++k) Put(r, FSt.TextBuf[(src + k) & kWindowMask]);
            count += length; // the last match may run past destSize; all of it is written
        }
    }

private:
    TCompThreadSafety& FIo;
    St& FSt;

    void Put(uint32_t& r, uint8_t b) {
        FIo.WriteByte(b);
        FSt.TextBuf[r] = b;
        r = (r + 1) & kWindowMask;
    }

    // ---- bit input: one byte is taken whenever no more than 8 bits are left ----

    void Refill() {
        if (FSt.GetLen > 8) return;
        const uint8_t b = FIo.ReadByte(); // 0 once the input has ended
        FSt.GetBuf = static_cast<uint16_t>(FSt.GetBuf | b << (8 - FSt.GetLen));
        FSt.GetLen = static_cast<uint8_t>(FSt.GetLen + 8);
    }

    // The top n (1..8) bits of the input.
    uint32_t GetNBits(uint32_t n) {
        Refill();
        const uint32_t bits = FSt.GetBuf >> (16 - n);
        FSt.GetBuf = static_cast<uint16_t>(FSt.GetBuf << n);
        FSt.GetLen = static_cast<uint8_t>(FSt.GetLen - n);
        return bits;
    }

    void StartModel() {
        FSt.Model.Start();
        FSt.GetBuf = 0;
        FSt.GetLen = 0;
    }

    uint32_t DecodeSymbol() {
        TLzhModel& model = FSt.Model;
        uint32_t node = model.Son[kRoot];
        for (int depth = 0; node < T; ++depth) {
            if (depth == T) throw ELZHBadDecodeTable(); // a path longer than the tree: broken model
            node = model.Son[node + GetNBits(1)];
        }
        const uint32_t sym = node - T;
        model.Update(sym);
        return sym;
    }

    // Twelve bits: the upper six by the fixed code, the lower six plain.
    uint32_t DecodePosition() {
        const uint32_t b = GetNBits(8);
        const uint32_t len = kLzhPositionCode.UpperLength[b];
        const uint32_t x = GetNBits(len - 2);
        const uint32_t lower = ((b << (len - 2)) | x) & 0x3F;
        return static_cast<uint32_t>(kLzhPositionCode.Upper[b]) << 6 | lower;
    }
};

} // namespace

void ExpandLZH(TCompThreadSafety& state, int32_t destSize) {
    if (destSize <= 0) return;
    state.LZH = std::make_unique<TLZHState>();
    TLZHDecoder(state, *state.LZH).Run(destSize);
    state.LZH.reset();
}

} // namespace yar
