// coLZH: LZSS over a 4 KiB window. Literals and match lengths share one adaptive Huffman tree that
// both sides update after every symbol; the upper six bits of a match position have a fixed code.
#include "archive/Decoders.h"

#include <array>
#include <cstring>

namespace yar {

namespace {

using St = TLZHState;
constexpr int T = St::kNodes;
constexpr int kRoot = St::kRoot;
constexpr uint32_t kWindowMask = St::kWindowSize - 1;
constexpr uint32_t kLengthBias = 256 - 3; // symbol 256 is a match of 3 bytes
constexpr uint16_t kRebuildAt = 0x8000;   // root frequency that halves all counts

// The fixed code of the upper six position bits, looked up by the next eight input bits: values
// 0, 1..3, 4..11, 12..23, 24..47, 48..63 take 3, 4, 5, 6, 7 and 8 bits.
struct TPositionCode {
    std::array<uint8_t, 256> Upper{};
    std::array<uint8_t, 256> Length{};
};

constexpr TPositionCode MakePositionCode() {
    TPositionCode code;
    constexpr int kValuesOfLength[] = {1, 3, 8, 12, 24, 16}; // code lengths 3..8
    int b = 0;
    int value = 0;
    for (int len = 3; len <= 8; ++len) {
        for (int v = 0; v < kValuesOfLength[len - 3]; ++v, ++value) {
            for (int span = 0; span < 1 << (8 - len); ++span, ++b) {
                code.Upper[b] = static_cast<uint8_t>(value);
                code.Length[b] = static_cast<uint8_t>(len);
            }
        }
    }
    return code;
}

constexpr TPositionCode kPositionCode = MakePositionCode();

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

    // ---- adaptive Huffman model ----

    void StartModel() {
        for (int i = 0; i < St::kSymbols; ++i) {
            FSt.Freq[i] = 1;
            FSt.Son[i] = static_cast<uint16_t>(i + T);
            FSt.Parent[i + T] = static_cast<uint16_t>(i);
        }
        for (int i = 0, j = St::kSymbols; j < T; i += 2, ++j) {
            FSt.Freq[j] = static_cast<uint16_t>(FSt.Freq[i] + FSt.Freq[i + 1]);
            FSt.Son[j] = static_cast<uint16_t>(i);
            FSt.Parent[i] = FSt.Parent[i + 1] = static_cast<uint16_t>(j);
        }
        FSt.Freq[T] = 0xFFFF;
        FSt.Parent[kRoot] = 0;
        FSt.GetBuf = 0;
        FSt.GetLen = 0;
    }

    // Halves every leaf count and builds the tree anew from the leaves.
    void RebuildTree() {
        int j = 0;
        for (int i = 0; i < T; ++i) {
            if (FSt.Son[i] >= T) {
                FSt.Freq[j] = static_cast<uint16_t>((FSt.Freq[i] + 1) / 2);
                FSt.Son[j] = FSt.Son[i];
                ++j;
            }
        }
        for (int i = 0, node = St::kSymbols; node < T; i += 2, ++node) {
            const auto f = static_cast<uint16_t>(FSt.Freq[i] + FSt.Freq[i + 1]);
            int k = node;
            while (k > 0 && FSt.Freq[k - 1] > f) --k;
            const auto moved = static_cast<size_t>(node - k);
            std::memmove(&FSt.Freq[k + 1], &FSt.Freq[k], moved * sizeof FSt.Freq[0]);
            std::memmove(&FSt.Son[k + 1], &FSt.Son[k], moved * sizeof FSt.Son[0]);
            FSt.Freq[k] = f;
            FSt.Son[k] = static_cast<uint16_t>(i);
        }
        for (int i = 0; i < T; ++i) SetParentOfChildren(i);
    }

    void SetParentOfChildren(int node) {
        const int child = FSt.Son[node];
        FSt.Parent[child] = static_cast<uint16_t>(node);
        if (child < T) FSt.Parent[child + 1] = static_cast<uint16_t>(node);
    }

    // Counts sym on its path to the root, moving each node that now outweighs its successors
    // behind them so that frequencies stay in ascending node order.
    void UpdateModel(uint32_t sym) {
        if (FSt.Freq[kRoot] == kRebuildAt) RebuildTree();
        int node = FSt.Parent[sym + T];
        do {
            const auto k = static_cast<uint16_t>(FSt.Freq[node] + 1);
            FSt.Freq[node] = k;
            if (k > FSt.Freq[node + 1]) {
                int l = node + 1;
                while (k > FSt.Freq[l + 1]) ++l; // the sentinel ends the scan
                FSt.Freq[node] = FSt.Freq[l];
                FSt.Freq[l] = k;
                const uint16_t i = FSt.Son[node];
                const uint16_t j = FSt.Son[l];
                FSt.Son[l] = i;
                FSt.Son[node] = j;
                SetParentOfChildren(l);
                SetParentOfChildren(node);
                node = l;
            }
            node = FSt.Parent[node];
        } while (node != 0);
    }

    uint32_t DecodeSymbol() {
        uint32_t node = FSt.Son[kRoot];
        for (int depth = 0; node < T; ++depth) {
            if (depth == T) throw ELZHBadDecodeTable(); // a path longer than the tree: broken model
            node = FSt.Son[node + GetNBits(1)];
        }
        const uint32_t sym = node - T;
        UpdateModel(sym);
        return sym;
    }

    // Twelve bits: the upper six by the fixed code, the lower six plain.
    uint32_t DecodePosition() {
        const uint32_t b = GetNBits(8);
        const uint32_t len = kPositionCode.Length[b];
        const uint32_t x = GetNBits(len - 2);
        const uint32_t lower = ((b << (len - 2)) | x) & 0x3F;
        return static_cast<uint32_t>(kPositionCode.Upper[b]) << 6 | lower;
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
