// coLZH5: the lh5 method. Each block starts with its symbol count and three canonical Huffman codes
// (a pre-code, the literal/length code sent through the pre-code, and the position code); then come
// literals and (length, distance) pairs over an 8 KiB window that starts out filled with spaces.
#include "archive/Decoders.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>

namespace yar {

namespace {

using St = TLH5State;
constexpr int kMaxCodeLength = 16;
constexpr uint32_t kRingMask = St::kRingSize - 1;
constexpr uint32_t kLongestMatch = 256;
constexpr uint32_t kOverrun = 8;                  // bytes a fast copy may write past the end of a match
constexpr uint32_t kMinMatch = 3;                 // literal/length symbol - 253 = match length
constexpr uint32_t kLengthBias = 256 - kMinMatch; // symbol 256 is the shortest match
constexpr uint32_t kFullBlock = 65536;            // a block header of 0 symbols means this many
// A table entry holds a symbol or a tree node in its low bits and, for a symbol whose whole code
// fits the table, the code length in its top bits, so that one lookup gives both.
constexpr uint32_t kIndexMask = 0x3FF;
constexpr int kLengthShift = 12;

// Builds the lookup table (and the tree of codes longer than tableBits) of a canonical code: shorter
// codes first, equal lengths in symbol order. Only a complete code of lengths up to 16 is accepted,
// which keeps every table index, tree node and tree walk in bounds.
void BuildDecodeTable(St& st, int symbols, const uint8_t* lengths, int tableBits, uint16_t* table) {
    uint32_t count[kMaxCodeLength + 1] = {};
    for (int ch = 0; ch < symbols; ++ch) {
        if (lengths[ch] > kMaxCodeLength) throw ELZHBadDecodeTable();
        ++count[lengths[ch]];
    }
    uint32_t start[kMaxCodeLength + 2];
    uint32_t weight[kMaxCodeLength + 1];
    start[1] = 0;
    for (int len = 1; len <= kMaxCodeLength; ++len) {
        weight[len] = 1u << (kMaxCodeLength - len);
        start[len + 1] = start[len] + count[len] * weight[len];
    }
    if (start[kMaxCodeLength + 1] != 1u << kMaxCodeLength) throw ELZHBadDecodeTable();

    const int jutBits = kMaxCodeLength - tableBits;
    for (int len = 1; len <= tableBits; ++len) {
        start[len] >>= jutBits;
        weight[len] >>= jutBits;
    }
    const uint32_t tableSize = 1u << tableBits;
    // Entries from the first long code on become the roots of the trees of long codes.
    std::fill(table + std::min(start[tableBits + 1] >> jutBits, tableSize), table + tableSize, 0);

    auto avail = static_cast<uint32_t>(symbols); // next free tree node
    for (int ch = 0; ch < symbols; ++ch) {
        const int len = lengths[ch];
        if (len == 0) continue;
        const uint32_t code = start[len];
        start[len] = code + weight[len];
        if (len <= tableBits) {
            std::fill(table + code, table + code + weight[len],
                      static_cast<uint16_t>(ch | len << kLengthShift));
            continue;
        }
        uint16_t* p = &table[code >> jutBits];
        for (int bit = jutBits - 1; bit >= kMaxCodeLength - len; --bit) {
            if (*p == 0) {
                if (avail >= St::kTreeNodes) throw ELZHBadDecodeTable();
                st.TreeLeft[avail] = st.TreeRight[avail] = 0;
                *p = static_cast<uint16_t>(avail++);
            } else if ((*p & kIndexMask) < static_cast<uint32_t>(symbols)) {
                throw ELZHBadDecodeTable(); // a shorter code is a prefix of this one
            }
            p = (code >> bit) & 1 ? &st.TreeRight[*p] : &st.TreeLeft[*p];
        }
        *p = static_cast<uint16_t>(ch);
    }
}

// ---- bits: most significant bit of each byte first ----

uint64_t LoadBigEndian64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
    return v;
}

// The next input bits at the top of a 64-bit register. Avail of them are valid; the bits below
// may already hold part of the next unread byte, which the next top-up sets again to the same
// values. Once the input has ended, every further bit is 0.
struct TBitWindow {
    uint64_t Bits;
    int32_t Avail;

    uint32_t Peek16() const { return static_cast<uint32_t>(Bits >> 48); }
    void Drop(uint32_t n) {
        Bits <<= n;
        Avail -= static_cast<int32_t>(n);
    }
    // Takes whole bytes from the eight readable ones at p until 56..63 bits are valid; returns
    // how many it took.
    int32_t TopUp(const uint8_t* p) {
        Bits |= LoadBigEndian64(p) >> Avail;
        const int32_t taken = (63 - Avail) >> 3;
        Avail |= 56;
        return taken;
    }
};

// ---- symbols, shared by the fast loop and the careful path ----
// TBits offers Peek16(), the next 16 bits, and Consume(n), which drops n <= 16 of them.

// Follows the bits after the first tableBits of next16 from tree node j down to a symbol. A
// complete code never needs more bits than that; running out of them means a broken table.
uint32_t WalkTree(const St& st, uint32_t j, int tableBits, uint32_t symbols, uint32_t next16) {
    for (int bit = 15 - tableBits; bit >= 0; --bit) {
        if (j >= St::kTreeNodes) break;
        j = (next16 >> bit) & 1 ? st.TreeRight[j] : st.TreeLeft[j];
        if (j < symbols) return j;
    }
    throw ELZHBadDecodeTable();
}

template <class TBits> uint32_t GetBits(TBits& in, uint32_t n) {
    if (n == 0) return 0;
    const uint32_t value = in.Peek16() >> (16 - n);
    in.Consume(n);
    return value;
}

// One symbol of the code whose table, table width, symbol count and lengths are given.
template <class TBits>
uint32_t DecodeSymbol(const St& st, TBits& in, const uint16_t* table, int tableBits, uint32_t symbols,
                      const uint8_t* lengths) {
    const uint32_t entry = table[in.Peek16() >> (16 - tableBits)];
    uint32_t j = entry & kIndexMask;
    if (j < symbols) {
        in.Consume(entry >> kLengthShift);
        return j;
    }
    j = WalkTree(st, j, tableBits, symbols, in.Peek16());
    in.Consume(lengths[j]);
    return j;
}

template <class TBits> uint32_t DecodeLiteral(const St& st, TBits& in) {
    return DecodeSymbol(st, in, st.LiteralTable, St::kLiteralTableBits, St::kLiteralSymbols,
                        st.LiteralLengths);
}

// A symbol of the pre-code or the position code, whichever AuxTable holds.
template <class TBits> uint32_t DecodeAux(const St& st, TBits& in, uint32_t symbols) {
    return DecodeSymbol(st, in, st.AuxTable, St::kAuxTableBits, symbols, st.AuxLengths);
}

// 0..8191: position symbol j > 0 gives the top bit 2^(j-1), followed by j-1 plain bits.
template <class TBits> uint32_t DecodeDistance(const St& st, TBits& in) {
    const uint32_t j = DecodeAux(st, in, St::kPositionSymbols);
    if (j == 0) return 0;
    return (1u << (j - 1)) + GetBits(in, j - 1);
}

// Copies length bytes from ring position src to r and to out, wrapping at the end of the ring,
// byte by byte: a source that overlaps r repeats the bytes just written.
void CopyMatch(uint8_t* window, uint32_t r, uint32_t src, uint32_t length, uint8_t* out) {
    while (length > 0) {
        const uint32_t run = std::min({length, St::kRingSize - r, St::kRingSize - src});
        for (uint32_t k = 0; k < run; ++k) {
            const uint8_t b = window[src + k];
            window[r + k] = b;
            out[k] = b;
        }
        out += run;
        length -= run;
        r = (r + run) & kRingMask;
        src = (src + run) & kRingMask;
    }
}

// The same copy, 8 bytes at a time where that gives the same result, writing up to kOverrun - 1
// bytes past the end of the match in the ring and in out. The caller leaves room for them in out.
void CopyMatchOverrun(uint8_t* window, uint32_t r, uint32_t src, uint32_t length, uint8_t* out) {
    const bool noWrap = r + length + kOverrun <= St::kRingSize && src + length + kOverrun <= St::kRingSize;
    if (noWrap && (src > r || r - src >= 8)) {
        for (uint32_t k = 0; k < length; k += 8) {
            uint64_t chunk;
            std::memcpy(&chunk, window + src + k, 8);
            std::memcpy(window + r + k, &chunk, 8);
            std::memcpy(out + k, &chunk, 8);
        }
    } else if (noWrap && src + 1 == r) { // distance 0: a run of one byte
        std::memset(window + r, window[src], length);
        std::memset(out, window[src], length);
    } else {
        CopyMatch(window, r, src, length, out);
    }
}

// Bits for the fast loop: the caller tops the window up before each symbol, which then needs at
// most 16 + 16 + 12 bits.
struct TRegisterBits : TBitWindow {
    void Consume(uint32_t n) { Drop(n); }
};

class TLH5Decoder {
public:
    TLH5Decoder(TCompThreadSafety& io, St& st) : FIo(io), FSt(st) {}

    void Run(int32_t destSize) {
        FSt.Bits = 0;
        FSt.BitAvail = 0;
        FSt.BitsEnded = false;
        FSt.BlockRemaining = 0;
        Fill();
        std::memset(FSt.Window, ' ', sizeof FSt.Window);
        uint32_t r = 0;
        int64_t produced = 0;
        while (produced < destSize) {
            if (FSt.BlockRemaining == 0) ReadBlockHeader();
            FastRun(r, produced, destSize);
            if (produced < destSize && FSt.BlockRemaining != 0) CarefulStep(r, produced);
        }
    }

    // The careful path's view of the bits (TBits): refills as it goes.
    uint32_t Peek16() const { return static_cast<uint32_t>(FSt.Bits >> 48); }
    void Consume(uint32_t n) {
        FSt.Bits <<= n;
        FSt.BitAvail -= static_cast<int32_t>(n);
        Fill();
    }

private:
    TCompThreadSafety& FIo;
    St& FSt;

    // Tops the bits up to at least 16. Bytes already in the input buffer are taken freely; a new
    // block is read only when fewer than 16 bits remain, exactly where a reader taking one byte at
    // a time would need it, so the stream is never read further than that reader would.
    void Fill() {
        if (FSt.BitAvail >= 16) return;
        if (FIo.InEnd - FIo.InPos >= 8) {
            TBitWindow w{FSt.Bits, FSt.BitAvail};
            FIo.InPos += w.TopUp(FIo.InBuf.get() + FIo.InPos);
            FSt.Bits = w.Bits;
            FSt.BitAvail = w.Avail;
            return;
        }
        while (FSt.BitAvail <= 48) {
            if (FIo.InPos == FIo.InEnd) {
                if (FSt.BitAvail >= 16) return;
                if (FSt.BitsEnded || !FIo.RefillInput()) {
                    FSt.BitsEnded = true; // from here on the input reads as zero bits
                    FSt.BitAvail = 64;
                    return;
                }
            }
            FSt.Bits |= static_cast<uint64_t>(FIo.InBuf[FIo.InPos++]) << (56 - FSt.BitAvail);
            FSt.BitAvail += 8;
        }
    }

    // Decodes symbols of the current block with the bits, the input position and the output
    // position held in registers, for as long as each symbol is sure to find its bits among the
    // bytes already in InBuf and room for its bytes (up to 256) in OutBuf. Touches neither stream.
    void FastRun(uint32_t& r, int64_t& produced, int64_t destSize) {
        TRegisterBits in{{FSt.Bits, FSt.BitAvail}};
        const uint8_t* const inBuf = FIo.InBuf.get();
        int32_t inPos = FIo.InPos;
        const int32_t inEnd = FIo.InEnd;
        uint8_t* const out = FIo.OutBuf.get();
        int32_t outPos = FIo.OutPos;
        uint8_t* const window = FSt.Window;
        uint32_t block = FSt.BlockRemaining;
        int64_t done = produced;
        uint32_t pos = r;
        const auto putLiteral = [&](uint32_t sym) {
            window[pos] = static_cast<uint8_t>(sym);
            out[outPos++] = static_cast<uint8_t>(sym);
            pos = (pos + 1) & kRingMask;
            ++done;
        };
        while (block != 0 && done < destSize && inEnd - inPos >= 8 &&
               outPos <= kCodecBufferSize - static_cast<int32_t>(kLongestMatch + kOverrun)) {
            inPos += in.TopUp(inBuf + inPos);
            --block;
            const uint32_t sym = DecodeLiteral(FSt, in);
            if (sym <= 255) {
                putLiteral(sym);
                // At least 40 bits are left, enough for a second literal without a top-up when its
                // code is in the table.
                if (block != 0 && done < destSize) {
                    const uint32_t entry = FSt.LiteralTable[in.Peek16() >> (16 - St::kLiteralTableBits)];
                    if ((entry & kIndexMask) <= 255) {
                        in.Drop(entry >> kLengthShift);
                        --block;
                        putLiteral(entry & kIndexMask);
                    }
                }
                continue;
            }
            const uint32_t length = sym - kLengthBias;
            const uint32_t distance = DecodeDistance(FSt, in);
            CopyMatchOverrun(window, pos, (pos - distance - 1) & kRingMask, length, out + outPos);
            outPos += static_cast<int32_t>(length);
            pos = (pos + length) & kRingMask;
            done += length; // the last match may run past destSize; all of it is written
        }
        FSt.Bits = in.Bits;
        FSt.BitAvail = in.Avail;
        FIo.InPos = inPos;
        FIo.OutPos = outPos;
        FSt.BlockRemaining = block;
        produced = done;
        r = pos;
        Fill(); // back to 16 bits or more, reading on where the last symbol needed it
    }

    // One symbol through WriteByte, where the fast loop cannot be sure of its input or output.
    void CarefulStep(uint32_t& r, int64_t& produced) {
        --FSt.BlockRemaining;
        const uint32_t sym = DecodeLiteral(FSt, *this);
        if (sym <= 255) {
            FSt.Window[r] = static_cast<uint8_t>(sym);
            FIo.WriteByte(static_cast<uint8_t>(sym));
            r = (r + 1) & kRingMask;
            ++produced;
            return;
        }
        uint32_t length = sym - kLengthBias;
        uint32_t src = (r - DecodeDistance(FSt, *this) - 1) & kRingMask;
        produced += length;
        while (length > 0) {
            if (FIo.OutPos == kCodecBufferSize) FIo.FlushFullOutput();
            const uint32_t run = std::min(length, static_cast<uint32_t>(kCodecBufferSize - FIo.OutPos));
            CopyMatch(FSt.Window, r, src, run, FIo.OutBuf.get() + FIo.OutPos);
            FIo.OutPos += static_cast<int32_t>(run);
            length -= run;
            r = (r + run) & kRingMask;
            src = (src + run) & kRingMask;
        }
    }

    // ---- block header ----

    void ReadBlockHeader() {
        FSt.BlockRemaining = GetBits(*this, 16);
        if (FSt.BlockRemaining == 0) FSt.BlockRemaining = kFullBlock;
        ReadAuxLengths(St::kPreCodeSymbols, 5, 3);
        ReadLiteralLengths();
        ReadAuxLengths(St::kPositionSymbols, 4, -1);
    }

    // A count of 0 sends one symbol that every lookup yields without taking any bits.
    static void MakeConstant(uint16_t* table, size_t tableSize, uint8_t* lengths, int symbols,
                             uint32_t value) {
        if (value >= static_cast<uint32_t>(symbols)) throw ELZHBadDecodeTable();
        std::fill(lengths, lengths + symbols, 0);
        std::fill(table, table + tableSize, static_cast<uint16_t>(value));
    }

    // Pre-code (19 symbols, 5-bit fields, two bits of zero run after the third length) or position
    // code lengths (14 symbols, 4-bit fields): 3 bits each, where 7 goes on by one per further 1 bit.
    void ReadAuxLengths(int symbols, uint32_t fieldBits, int zeroRunAfter) {
        const uint32_t n = GetBits(*this, fieldBits);
        if (n == 0) {
            MakeConstant(FSt.AuxTable, std::size(FSt.AuxTable), FSt.AuxLengths, symbols,
                         GetBits(*this, fieldBits));
            return;
        }
        int i = 0;
        while (i < static_cast<int>(n)) {
            uint32_t len = Peek16() >> 13;
            if (len == 7) {
                for (uint32_t mask = 1u << 12; mask != 0 && (Peek16() & mask) != 0; mask >>= 1) ++len;
            }
            const uint32_t used = len < 7 ? 3 : len - 3; // up to 17 bits
            Consume(std::min(used, 16u));
            Consume(used - std::min(used, 16u));
            FSt.AuxLengths[i++] = static_cast<uint8_t>(len);
            if (i == zeroRunAfter) {
                for (uint32_t zeros = GetBits(*this, 2); zeros > 0; --zeros) FSt.AuxLengths[i++] = 0;
            }
        }
        // Lengths announced beyond the symbol count stay out of the table.
        if (i < symbols) std::fill(FSt.AuxLengths + i, FSt.AuxLengths + symbols, 0);
        BuildDecodeTable(FSt, symbols, FSt.AuxLengths, St::kAuxTableBits, FSt.AuxTable);
    }

    // The literal/length code lengths, sent through the pre-code: symbols 0, 1 and 2 are runs of
    // zero lengths (1, 3..18, 20..531), symbol s >= 3 is a length of s - 2.
    void ReadLiteralLengths() {
        const uint32_t n = GetBits(*this, 9);
        if (n == 0) {
            MakeConstant(FSt.LiteralTable, std::size(FSt.LiteralTable), FSt.LiteralLengths,
                         St::kLiteralSymbols, GetBits(*this, 9));
            return;
        }
        if (n > St::kLiteralSymbols) throw ELZHBadDecodeTable();
        uint32_t i = 0;
        while (i < n) {
            const uint32_t sym = DecodeAux(FSt, *this, St::kPreCodeSymbols);
            if (sym >= 3) {
                FSt.LiteralLengths[i++] = static_cast<uint8_t>(sym - 2);
                continue;
            }
            const uint32_t zeros = sym == 0 ? 1 : sym == 1 ? GetBits(*this, 4) + 3 : GetBits(*this, 9) + 20;
            if (zeros > St::kLiteralSymbols - i) throw ELZHBadDecodeTable();
            std::fill_n(FSt.LiteralLengths + i, zeros, 0);
            i += zeros;
        }
        std::fill(FSt.LiteralLengths + i, FSt.LiteralLengths + St::kLiteralSymbols, 0);
        BuildDecodeTable(FSt, St::kLiteralSymbols, FSt.LiteralLengths, St::kLiteralTableBits,
                         FSt.LiteralTable);
    }
};

} // namespace

void ExpandLH5(TCompThreadSafety& state, int32_t destSize) {
    if (destSize <= 0) return;
    state.LH5 = std::make_unique<TLH5State>();
    TLH5Decoder(state, *state.LH5).Run(destSize);
    state.LH5.reset();
}

} // namespace yar
