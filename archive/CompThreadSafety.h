// The codec state of one expansion: the buffered byte layer every method reads and writes through,
// and the per-entry state of the coRLE, coLZH5 and coLZH decoders. TCompress owns one and lends it
// to ExpandStream for each entry; nothing carries over from one entry to the next.
#pragma once

#include "archive/ExpandStream.h"
#include "archive/LzhModel.h"
#include "system/Streams.h"

#include <cstdint>
#include <memory>

namespace yar {

inline constexpr int32_t kCodecBufferSize = 8192;

// coLZH5 and coLZH7: LZ77 over an 8 KiB or 64 KiB window with static canonical Huffman codes sent
// with each block.
struct TLH5State {
    static constexpr int kMaxWindowSize = 65536; // how far back a distance reaches at most (lh7)
    // Expanded bytes go straight into one linear area: the window's bytes of history, then up to
    // kSpan bytes of new output before the history moves back to the front, then room for the
    // longest match and the bytes a fast copy may run past its end. No position ever wraps.
    static constexpr int kSpan = 65536;
    static constexpr int kAreaSlack = 256 + 32;
    static constexpr int kAreaSize = kMaxWindowSize + kSpan + kAreaSlack;
    static constexpr int kLiteralSymbols = 510; // 0..255 bytes, 256..509 match lengths 3..256
    static constexpr int kPreCodeSymbols = 19;
    static constexpr int kLiteralTableBits = 12;
    static constexpr int kAuxTableBits = 8;
    static constexpr int kTreeNodes = 2 * kLiteralSymbols - 1;
    static constexpr int kAuxLengthSlots = 129;

    uint8_t Area[kAreaSize];
    // Bit reader: the next input bits from the top of Bits down; BitAvail of them are valid
    // (always at least 16 between calls). After the end of input they are all zero.
    uint64_t Bits;
    int32_t BitAvail;
    bool BitsEnded;
    uint32_t BlockRemaining; // symbols left in the block; 0 = a block header is due
    uint8_t LiteralLengths[kLiteralSymbols];
    uint16_t LiteralTable[1 << kLiteralTableBits];
    // LiteralTable as the decoding loop reads it: one or two literals, a match length or a tree
    // root, with the bits to take, in one load.
    uint32_t LiteralEntries[1 << kLiteralTableBits];
    // Pre-code and position code lengths in turn; count fields may announce a few more entries
    // than the code has symbols, which are kept here but take no part in the table.
    uint8_t AuxLengths[kAuxLengthSlots];
    uint16_t AuxTable[1 << kAuxTableBits];
    // The position code's AuxTable with each symbol's distance base and extra bit count.
    uint32_t DistanceEntries[1 << kAuxTableBits];
    // Children of the tree nodes of codes longer than their table width. Node numbers start at the
    // symbol count of their code, so the literal tree and the smaller trees share the arrays.
    uint16_t TreeLeft[kTreeNodes];
    uint16_t TreeRight[kTreeNodes];
};

// coLZH: LZSS over a 4 KiB window with an adaptive Huffman tree of literals and match lengths.
struct TLZHState {
    static constexpr int kWindowSize = 4096; // N
    static constexpr int kLongestMatch = 60; // F

    uint8_t TextBuf[kWindowSize];
    TLzhModel Model; // the adaptive tree of literals and match lengths
    uint16_t GetBuf; // next input bits from the top
    uint8_t GetLen;  // valid bits in GetBuf
};

class TCompThreadSafety {
public:
    // ---- byte layer, set up afresh by every ExpandStream call ----
    TStream* Source = nullptr;
    TStream* Dest = nullptr;
    std::unique_ptr<uint8_t[]> InBuf;
    int32_t InPos = 0; // next unread byte of InBuf
    int32_t InEnd = 0; // end of the valid bytes of InBuf
    std::unique_ptr<uint8_t[]> OutBuf;
    int32_t OutPos = 0;
    int32_t InRemaining = 0; // stored bytes not yet read from Source
    int32_t InDone = 0;      // stored bytes read so far (kept while a progress handler is set)
    bool EndOfInput = false; // a refill found nothing or was refused; stays set for the call
    uint32_t OutSum = 0;     // wrapping byte sum of OutBuf's bytes already passed to Dest
    bool XorInput = false;
    uint8_t KeyBytes[4] = {};
    int16_t KeyIndex = 0;
    const TShowProgressEvent* Progress = nullptr; // ExpandStream's copy of the handler, if assigned

    // ---- coRLE ----
    uint8_t PrevByte = 0;
    int32_t RunCount = 0;

    // ---- per-entry decoder state, allocated when an entry of that method starts ----
    std::unique_ptr<TLH5State> LH5;
    std::unique_ptr<TLZHState> LZH;

    // The next stored byte; 0 once EndOfInput is set (callers test it after each call).
    uint8_t ReadByte() {
        if (InPos == InEnd && !RefillInput()) return 0;
        return InBuf[InPos++];
    }
    // Appends one expanded byte; a full buffer goes to Dest first.
    void WriteByte(uint8_t b) {
        if (OutPos == kCodecBufferSize) FlushFullOutput();
        OutBuf[OutPos++] = b;
    }

    // Reads the next block of stored bytes into InBuf, unscrambles it, reports progress and yields.
    // False (and EndOfInput set) when nothing came or the progress handler asked to stop.
    bool RefillInput();
    // Passes the whole of OutBuf to Dest, after giving up the time slice.
    void FlushFullOutput();
    // The same for a full buffer's worth of bytes that a decoder keeps elsewhere.
    void FlushBlock(const uint8_t* block);
    // Passes the OutPos bytes left in OutBuf to Dest with one write.
    void FlushFinalOutput();
};

} // namespace yar
