// coLZH5 and coLZH7: the lh5 and lh7 methods, which differ only in their window. Each block starts
// with its symbol count and three canonical Huffman codes (a pre-code, the literal/length code sent
// through the pre-code, and the position code); then come literals and (length, distance) pairs over
// an 8 KiB (lh5) or 64 KiB (lh7) window that starts out filled with spaces.
#include "archive/Decoders.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>

namespace yar {

namespace {

using St = TLH5State;
constexpr int kMaxCodeLength = 16;
// What the window sets: how far back a distance reaches, one position symbol per bit of the largest
// distance (and 0), and the width of their count in the block header.
// A value rather than a template argument: one decoder serves both windows, and the programs carry its
// code once.
struct TLhShape {
    uint32_t Window;
    uint32_t SlideAt; // the last position a symbol may start at
    uint32_t PositionSymbols;
    uint32_t PositionCountBits;
};
constexpr TLhShape ShapeOf(unsigned windowBits) {
    return {1u << windowBits, (1u << windowBits) + St::kSpan, windowBits + 1, windowBits <= 13 ? 4u : 5u};
}
constexpr TLhShape kLh5Shape = ShapeOf(13);
constexpr TLhShape kLh7Shape = ShapeOf(16);
static_assert(kLh7Shape.Window <= St::kMaxWindowSize);
constexpr auto kBlockBytes = static_cast<uint32_t>(kCodecBufferSize);
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
    uint32_t TopUp(const uint8_t* p) {
        Bits |= LoadBigEndian64(p) >> Avail;
        const auto taken = static_cast<uint32_t>(63 - Avail) >> 3;
        Avail |= 56;
        return taken;
    }
};

// ---- symbols, shared by the fast loop and the careful path ----
// TBits offers Peek16(), the next 16 bits, Consume(n), which drops n <= 16 of them, and
// Take(skip, n), which drops skip <= 16 bits and then returns and drops the next n <= 15.

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

// ---- the entries the decoding loop reads ----
// Literal entries: the bits of the whole entry in bits 0..5, so that a shift by the entry takes
// them, and those of its first code in bits 8..12. Then one literal in bits 16..23 and, with
// kPair, a second in bits 24..31; or (with kNotLiteral) a match length in bits 16..24 and, with
// kWithDistance, its position symbol in bits 25..29 (the first bits are then those of both codes,
// the extra bits of the distance follow them); or (with kTreeRoot too) the tree node of codes
// longer than the table.
constexpr uint32_t kNotLiteral = 1u << 14;
constexpr uint32_t kTreeRoot = 1u << 15;
constexpr uint32_t kPair = 1u << 13;
constexpr uint32_t kWithDistance = kPair; // in match entries
constexpr int kPositionShift = 25;
constexpr int kFirstBitsShift = 8;
constexpr int kValueShift = 16;
constexpr uint32_t kBitsMask = 31;

uint32_t EntryBits(uint32_t entry) {
    return entry & 63;
}
uint32_t FirstBits(uint32_t entry) {
    return entry >> kFirstBitsShift & kBitsMask;
}

// The n <= 31 bits that follow the first skip <= 32 bits at the top of bits (n = 0 gives 0).
uint32_t BitsAfter(uint64_t bits, uint32_t skip, uint32_t n) {
    return static_cast<uint32_t>(((bits << skip) >> 1) >> (63 - n));
}

// Position symbol p > 0 gives the top bit 2^(p-1) of the distance, followed by p-1 plain bits.
constexpr uint32_t ExtraBits(uint32_t p) {
    return p == 0 ? 0 : p - 1;
}
constexpr uint32_t BaseDistance(uint32_t p) {
    return (1u << p) >> 1;
}

// Pairs cost a second lookup per entry, which a block of few symbols does not win back.
constexpr uint32_t kPairsFrom = 1024;

// Entries come in runs that share their first code and differ only in the bits after it, so that
// each run is filled in one tight loop.
void MakeLiteralEntries(St& st, uint32_t positionSymbols, bool pairs) {
    constexpr uint32_t kSize = 1u << St::kLiteralTableBits;
    constexpr int kAuxDrop = St::kLiteralTableBits - St::kAuxTableBits;
    for (uint32_t i = 0; i < kSize;) {
        const uint32_t t = st.LiteralTable[i];
        const uint32_t j = t & kIndexMask;
        const uint32_t len = t >> kLengthShift;
        if (j >= St::kLiteralSymbols) {
            st.LiteralEntries[i++] = kNotLiteral | kTreeRoot | j << kValueShift;
            continue;
        }
        const uint32_t run = std::min(1u << (St::kLiteralTableBits - len), kSize - i);
        uint32_t* const out = st.LiteralEntries + i;
        i += run;
        const uint32_t single = len | len << kFirstBitsShift;
        if (j > 255) {
            const uint32_t length = kNotLiteral | (j - kLengthBias) << kValueShift;
            for (uint32_t k = 0; k < run; ++k) {
                // The position code too when it lies wholly within the rest of the table's bits: a
                // match then takes one lookup.
                const uint32_t t2 = st.AuxTable[(k << len) >> kAuxDrop];
                const uint32_t p = t2 & kIndexMask;
                const uint32_t codeBits = len + (t2 >> kLengthShift);
                out[k] = p < positionSymbols && codeBits <= St::kLiteralTableBits
                             ? length | kWithDistance | p << kPositionShift | (codeBits + ExtraBits(p)) |
                                   codeBits << kFirstBitsShift
                             : length | single;
            }
        } else if (pairs) {
            for (uint32_t k = 0; k < run; ++k) {
                // A second literal whose code lies wholly within the rest of the table's bits.
                const uint32_t t2 = st.LiteralTable[k << len];
                const uint32_t second = t2 & kIndexMask;
                const uint32_t bits = len + (t2 >> kLengthShift);
                out[k] = second <= 255 && bits <= St::kLiteralTableBits
                             ? kPair | (second << 8 | j) << kValueShift | bits | len << kFirstBitsShift
                             : j << kValueShift | single;
            }
        } else {
            std::fill(out, out + run, j << kValueShift | single);
        }
    }
}

// Distance entries: the bits of code and extra bits together in bits 0..4, so that one shift takes
// them, the extra bit count in 5..8, the code's own bits in 9..13 and the base distance in 16..31;
// or kTreeRoot with the tree node.
constexpr int kExtraShift = 5;
constexpr int kCodeBitsShift = 9;

constexpr uint32_t DistanceEntry(uint32_t p, uint32_t codeBits) {
    const uint32_t extra = ExtraBits(p);
    return BaseDistance(p) << kValueShift | codeBits << kCodeBitsShift | extra << kExtraShift |
           (codeBits + extra);
}

void MakeDistanceEntries(St& st, uint32_t positionSymbols) {
    for (size_t i = 0; i < std::size(st.AuxTable); ++i) {
        const uint32_t t = st.AuxTable[i];
        const uint32_t j = t & kIndexMask;
        st.DistanceEntries[i] = j >= positionSymbols ? kTreeRoot | j : DistanceEntry(j, t >> kLengthShift);
    }
}

template <class TBits> uint32_t DecodeLiteral(const St& st, TBits& in) {
    const uint32_t entry = st.LiteralEntries[in.Peek16() >> (16 - St::kLiteralTableBits)];
    if ((entry & kTreeRoot) != 0) {
        const uint32_t j =
            WalkTree(st, entry >> kValueShift, St::kLiteralTableBits, St::kLiteralSymbols, in.Peek16());
        in.Consume(st.LiteralLengths[j]);
        return j;
    }
    const uint32_t value = entry >> kValueShift;
    if ((entry & kNotLiteral) == 0) {
        in.Consume(FirstBits(entry));
        return value & 0xFF;
    }
    const uint32_t j = (value & 0x1FF) + kLengthBias;
    in.Consume(st.LiteralLengths[j]); // the entry's first bits may cover the position code too
    return j;
}

// The pre-code, whichever AuxTable holds while the literal lengths are read.
template <class TBits> uint32_t DecodePreCode(const St& st, TBits& in) {
    return DecodeSymbol(st, in, st.AuxTable, St::kAuxTableBits, St::kPreCodeSymbols, st.AuxLengths);
}

// 0..window - 1: position symbol j > 0 gives the top bit 2^(j-1), followed by j-1 plain bits.
template <class TBits> uint32_t DecodeDistance(const St& st, TBits& in, uint32_t positionSymbols) {
    uint32_t entry = st.DistanceEntries[in.Peek16() >> (16 - St::kAuxTableBits)];
    if ((entry & kTreeRoot) != 0) {
        const uint32_t j = WalkTree(st, entry & kIndexMask, St::kAuxTableBits, positionSymbols, in.Peek16());
        entry = DistanceEntry(j, st.AuxLengths[j]);
    }
    return (entry >> kValueShift) + in.Take(entry >> kCodeBitsShift & kBitsMask, entry >> kExtraShift & 15);
}

template <size_t N> void CopyChunk(uint8_t* dst, const uint8_t* src) {
    uint8_t chunk[N];
    std::memcpy(chunk, src, N);
    std::memcpy(dst, chunk, N);
}

// Writes the length bytes that start back bytes before dst, to dst: a source that overlaps dst
// repeats the bytes just written. Writes up to 31 bytes past the end, which the area leaves room
// for; those bytes are written again before they are used.
inline void CopyMatch(uint8_t* dst, uint32_t back, uint32_t length) {
    const uint8_t* src = dst - back;
    uint8_t* const end = dst + length;
    if (back >= 16) { // each 16-byte load then reads only bytes already in place
        // Most matches are short: 32 bytes without a test first.
        CopyChunk<16>(dst, src);
        CopyChunk<16>(dst + 16, src + 16);
        for (src += 32, dst += 32; dst < end; src += 16, dst += 16) CopyChunk<16>(dst, src);
    } else if (back >= 8) {
        CopyChunk<8>(dst, src);
        CopyChunk<8>(dst + 8, src + 8);
        for (src += 16, dst += 16; dst < end; src += 8, dst += 8) CopyChunk<8>(dst, src);
    } else if (back == 1) {
        uint8_t run[16];
        std::memset(run, *src, sizeof run);
        do {
            std::memcpy(dst, run, sizeof run);
            dst += sizeof run;
        } while (dst < end);
    } else {
        do *dst++ = *src++;
        while (dst < end);
    }
}

// Bits for the fast loop: the caller tops the window up before each entry, which then needs at
// most 16 + 16 + 15 bits.
struct TRegisterBits : TBitWindow {
    void Consume(uint32_t n) { Drop(n); }
    uint32_t Take(uint32_t skip, uint32_t n) {
        const uint32_t value = BitsAfter(Bits, skip, n);
        Drop(skip + n);
        return value;
    }
};

class TLH5Decoder {
public:
    TLH5Decoder(TCompThreadSafety& io, St& st, const TLhShape& shape) : FIo(io), FSt(st), FShape(shape) {}

    void Run(int32_t destSize) {
        FSt.Bits = 0;
        FSt.BitAvail = 0;
        FSt.BitsEnded = false;
        FSt.BlockRemaining = 0;
        Fill();
        std::memset(FSt.Area, ' ', FShape.Window);
        FPos = FFlushed = FShape.Window;
        int64_t produced = 0;
        while (produced < destSize) {
            MakeRoom();
            if (FSt.BlockRemaining == 0) ReadBlockHeader();
            if (!FastRun(produced, destSize)) CarefulStep(produced);
        }
        FlushFullBlocks();
        // The rest goes out with the byte layer's final write.
        FIo.OutPos = static_cast<int32_t>(FPos - FFlushed);
        std::memcpy(FIo.OutBuf.get(), FSt.Area + FFlushed, FPos - FFlushed);
    }

    // The careful path's view of the bits (TBits): refills as it goes.
    uint32_t Peek16() const { return static_cast<uint32_t>(FSt.Bits >> 48); }
    void Consume(uint32_t n) {
        FSt.Bits <<= n;
        FSt.BitAvail -= static_cast<int32_t>(n);
        Fill();
    }
    uint32_t Take(uint32_t skip, uint32_t n) {
        Consume(skip);
        return GetBits(*this, n);
    }

private:
    TCompThreadSafety& FIo;
    St& FSt;
    const TLhShape FShape;
    uint32_t FPos = 0;     // where the next expanded byte goes in the area
    uint32_t FFlushed = 0; // the area's bytes before this have gone to Dest

    // Tops the bits up to at least 16. Bytes already in the input buffer are taken freely; a new
    // block is read only when fewer than 16 bits remain, exactly where a reader taking one byte at
    // a time would need it, so the stream is never read further than that reader would.
    void Fill() {
        if (FSt.BitAvail >= 16) return;
        if (FIo.InEnd - FIo.InPos >= 8) {
            TBitWindow w{FSt.Bits, FSt.BitAvail};
            FIo.InPos += static_cast<int32_t>(w.TopUp(FIo.InBuf.get() + FIo.InPos));
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

    // Passes on every full block of expanded bytes but the last, which a byte-at-a-time writer
    // would hand over only when its next byte comes.
    void FlushFullBlocks() {
        while (FPos - FFlushed > kBlockBytes) {
            FIo.FlushBlock(FSt.Area + FFlushed);
            FFlushed += kBlockBytes;
        }
    }

    // Before each symbol: at most one block of expanded bytes waits, and the longest match fits.
    void MakeRoom() {
        FlushFullBlocks();
        if (FPos <= FShape.SlideAt) return;
        const uint32_t shift = FPos - FShape.Window; // FFlushed >= FPos - kBlockBytes >= shift
        std::memmove(FSt.Area, FSt.Area + shift, FShape.Window);
        FPos -= shift;
        FFlushed -= shift;
    }

    // Decodes entries of the current block with the bits, the input position and the output
    // position held in registers, for as long as each is sure to find its bits among the bytes
    // already in InBuf, and its symbols (two at most) stay within the block, DestSize, the block of
    // expanded bytes MakeRoom allows and the area. Touches neither stream; false when it decoded
    // nothing.
    bool FastRun(int64_t& produced, int32_t destSize) {
        const uint32_t start = FPos;
        // A symbol may start at stop or before.
        const int64_t stop =
            std::min({static_cast<int64_t>(FFlushed + kBlockBytes), static_cast<int64_t>(FShape.SlideAt),
                      static_cast<int64_t>(start) + destSize - produced - 1});
        if (stop <= start) return false; // covers most of what the loop tests
        uint8_t* const first = FSt.Area + start;
        uint8_t* const last = FSt.Area + stop;
        const uint8_t* const inFirst = FIo.InBuf.get() + FIo.InPos;
        const uint8_t* const inLast = FIo.InBuf.get() + FIo.InEnd - 8; // a top-up reads eight bytes
        uint8_t* out = first;
        const uint8_t* in = inFirst;
        uint32_t block = FSt.BlockRemaining;
        if (!(out < last && block >= 2 && in <= inLast)) return false;
        TRegisterBits bits{{FSt.Bits, FSt.BitAvail}};
        const uint32_t* const literals = FSt.LiteralEntries;
        in += bits.TopUp(in);
        uint32_t entry = literals[bits.Bits >> (64 - St::kLiteralTableBits)];
        // One or two literals from the entry; then the next entry, whose table bits are valid
        // before the top-up.
        const auto takeLiterals = [&] {
            bits.Drop(EntryBits(entry));
            // The second byte counts only in a pair.
            const auto two = static_cast<uint16_t>(entry >> kValueShift);
            std::memcpy(out, &two, 2);
            const uint32_t count = 1 + (entry & kPair) / kPair;
            out += count;
            block -= count;
            entry = literals[bits.Bits >> (64 - St::kLiteralTableBits)];
        };
        for (;;) {
            if ((entry & kNotLiteral) == 0) [[likely]] {
                // Up to four literal entries on one top-up: they take at most 48 of its 56 or more
                // bits and leave the next entry's table bits among the 64 it loaded. Topping up after
                // each would put its load in the chain from one entry to the next.
                const bool four = last - out > 6 && block >= 8;
                takeLiterals();
                for (int more = four ? 3 : 0; more > 0 && (entry & kNotLiteral) == 0; --more) takeLiterals();
            } else {
                // The code of a match length (with its position code and extra bits), or nothing
                // for a tree root.
                const uint64_t before = bits.Bits;
                bits.Drop(EntryBits(entry));
                --block;
                uint32_t length = entry >> kValueShift & 0x1FF;
                if ((entry & kWithDistance) != 0) [[likely]] {
                    const uint32_t p = entry >> kPositionShift & 31;
                    const uint32_t extra = BitsAfter(before, FirstBits(entry), ExtraBits(p));
                    CopyMatch(out, BaseDistance(p) + extra + 1, length);
                } else {
                    if ((entry & kTreeRoot) != 0) [[unlikely]] {
                        TRegisterBits walked = bits; // keeps bits itself in registers
                        length = DecodeLiteral(FSt, walked);
                        bits = walked;
                        if (length <= 255) *out = static_cast<uint8_t>(length);
                        length = length <= 255 ? 1 : length - kLengthBias;
                    }
                    if (length > 1) CopyMatch(out, FastDistance(bits) + 1, length);
                }
                out += length; // the last match may run past destSize; all of it is written
                // The next entry's table bits are in place before the top-up: a match takes at most
                // 47 of the 64 bits the top-up loaded (56 or more of them counted).
                entry = literals[bits.Bits >> (64 - St::kLiteralTableBits)];
            }
            if (!(out < last && block >= 2 && in <= inLast)) break;
            in += bits.TopUp(in);
        }
        FSt.Bits = bits.Bits;
        FSt.BitAvail = bits.Avail;
        FIo.InPos += static_cast<int32_t>(in - inFirst);
        FSt.BlockRemaining = block;
        const auto written = static_cast<uint32_t>(out - first);
        produced += written;
        FPos += written;
        Fill(); // back to 16 bits or more, reading on where the last symbol needed it
        return true;
    }

    // DecodeDistance with code and extra bits taken in one step.
    uint32_t FastDistance(TRegisterBits& bits) const {
        uint32_t entry = FSt.DistanceEntries[bits.Bits >> (64 - St::kAuxTableBits)];
        if ((entry & kTreeRoot) != 0) [[unlikely]] {
            const uint32_t j =
                WalkTree(FSt, entry & kIndexMask, St::kAuxTableBits, FShape.PositionSymbols, bits.Peek16());
            entry = DistanceEntry(j, FSt.AuxLengths[j]);
        }
        const uint32_t extra =
            BitsAfter(bits.Bits, entry >> kCodeBitsShift & kBitsMask, entry >> kExtraShift & 15);
        bits.Drop(entry & kBitsMask);
        return (entry >> kValueShift) + extra;
    }

    // One symbol with refills as it goes, where the fast loop cannot be sure of its input.
    void CarefulStep(int64_t& produced) {
        --FSt.BlockRemaining;
        const uint32_t sym = DecodeLiteral(FSt, *this);
        if (sym <= 255) {
            FSt.Area[FPos++] = static_cast<uint8_t>(sym);
            ++produced;
            return;
        }
        const uint32_t length = sym - kLengthBias;
        CopyMatch(FSt.Area + FPos, DecodeDistance(FSt, *this, FShape.PositionSymbols) + 1, length);
        FPos += length;
        produced += length;
    }

    // ---- block header ----

    void ReadBlockHeader() {
        FSt.BlockRemaining = GetBits(*this, 16);
        if (FSt.BlockRemaining == 0) FSt.BlockRemaining = kFullBlock;
        ReadAuxLengths(St::kPreCodeSymbols, 5, 3);
        ReadLiteralLengths();
        ReadAuxLengths(FShape.PositionSymbols, FShape.PositionCountBits, -1);
        MakeLiteralEntries(FSt, FShape.PositionSymbols, FSt.BlockRemaining >= kPairsFrom);
        MakeDistanceEntries(FSt, FShape.PositionSymbols);
    }

    // A count of 0 sends one symbol that every lookup yields without taking any bits.
    static void MakeConstant(uint16_t* table, size_t tableSize, uint8_t* lengths, int symbols,
                             uint32_t value) {
        if (value >= static_cast<uint32_t>(symbols)) throw ELZHBadDecodeTable();
        std::fill(lengths, lengths + symbols, 0);
        std::fill(table, table + tableSize, static_cast<uint16_t>(value));
    }

    // Pre-code (19 symbols, 5-bit fields, two bits of zero run after the third length) or position
    // code lengths (14 symbols and 4-bit fields for lh5, 17 and 5 for lh7): 3 bits each, where 7 goes on by
    // one per further 1 bit.
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
            const uint32_t sym = DecodePreCode(FSt, *this);
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

void ExpandLh(TCompThreadSafety& state, int32_t destSize, const TLhShape& shape) {
    if (destSize <= 0) return;
    state.LH5 = std::make_unique_for_overwrite<TLH5State>();
    TLH5Decoder(state, *state.LH5, shape).Run(destSize);
    state.LH5.reset();
}

} // namespace

void ExpandLH5(TCompThreadSafety& state, int32_t destSize) {
    ExpandLh(state, destSize, kLh5Shape);
}

void ExpandLH7(TCompThreadSafety& state, int32_t destSize) {
    ExpandLh(state, destSize, kLh7Shape);
}

} // namespace yar
