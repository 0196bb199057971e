// coLZH5 and coLZH7 encoding: LZ77 over the 8 KiB (lh5) or 64 KiB (lh7) window, written as blocks of
// literal/length and position symbols, each block with its own canonical Huffman codes in its
// header. Matches reach only into the data itself, never into the window content a decoder starts
// with, so every decoder of the method agrees.
#include "tools/builder/BitWriter.h"
#include "tools/builder/Encoders.h"
#include "tools/builder/HuffmanCode.h"
#include "tools/builder/LzOptimalParser.h"
#include "tools/builder/LzParser.h"

#include <algorithm>
#include <array>
#include <bit>
#include <memory>
#include <stdexcept>

namespace yar::builder {

namespace {

constexpr unsigned kMaxMatch = 256;
constexpr unsigned kLengthBias = 253; // a match of length L is literal/length symbol L + 253 (256..509)
constexpr unsigned kLiteralSymbols = 510;
constexpr unsigned kMaxPositionSymbols = 17;
// A match this long is taken without weighing the matches of the positions it covers. lh7 makes the
// media of a distribution: it searches every match length and longer chains, which on a product of the
// usual mix costs about 3.8 times lh5's packing time for 2.4% less than its former, quicker settings.
constexpr unsigned kOptimalNiceLength = 64;
constexpr unsigned kOptimalNiceLengthLh7 = kMaxMatch;
constexpr uint32_t kMaxChain = 48;
constexpr uint32_t kMaxChainLh7 = 256;
constexpr unsigned kPreCodeSymbols = 19;
constexpr unsigned kMaxCodeLength = 16;
constexpr unsigned kBlockSizeBits = 16;
constexpr unsigned kLiteralCountBits = 9;
constexpr unsigned kPreCodeCountBits = 5;
constexpr unsigned kPreCodeZeroRunAfter = 3; // after the third pre-code length, a 2-bit run of zero lengths
constexpr unsigned kNoZeroRun = 0;
constexpr uint32_t kMaxBlockSymbols = 0xFFFF; // a block size field of 0 would stand for 65536
constexpr size_t kBlockPieceSymbols = 2048;   // the steps in which blocks grow

// What the window size sets: the position symbols (one per bit of the largest copy offset, and 0)
// and the width of their count in the block header (4 bits for lh5, 5 for lh6 and lh7).
struct TLhFormat {
    unsigned PositionSymbols;
    unsigned PositionCountBits;

    explicit TLhFormat(unsigned windowBits)
        : PositionSymbols(windowBits + 1), PositionCountBits(windowBits <= 13 ? 4 : 5) {}
};

// Position symbol of the copy offset d (the distance minus 1): 0 for d = 0, else the bit width of d;
// the bits of d below its top bit follow the symbol.
unsigned PositionSymbol(unsigned d) {
    return static_cast<unsigned>(std::bit_width(d));
}

// One block's code for an alphabet. Fewer than two occurring symbols need no code: the header then
// names the one symbol (Constant) and the symbols cost no bits.
struct TBlockCode {
    std::vector<uint8_t> Lengths;
    std::vector<uint16_t> Codes;
    unsigned Constant = 0;
    bool IsConstant = false;

    void Put(TBitWriter& out, unsigned sym) const { out.Put(Codes[sym], Lengths[sym]); }
};

TBlockCode MakeCode(std::span<const uint32_t> counts) {
    TBlockCode code;
    code.Lengths = HuffmanLengths(counts, kMaxCodeLength);
    code.Codes = CanonicalCodes(code.Lengths);
    const auto used = std::count_if(counts.begin(), counts.end(), [](uint32_t c) { return c != 0; });
    code.IsConstant = used < 2;
    if (used == 1)
        code.Constant = static_cast<unsigned>(
            std::find_if(counts.begin(), counts.end(), [](uint32_t c) { return c != 0; }) - counts.begin());
    return code;
}

// The literal/length code always gets two symbols or more, a second one of length 1 next to a lone
// symbol: other lh5 decoders (libarchive's, as in bsdtar 3.6) reject a block whose literal/length code
// is a constant. It costs one bit per symbol in such a block, which is rare (a block of nothing but
// longest matches, or a single byte of data).
TBlockCode MakeLiteralCode(std::span<const uint32_t, kLiteralSymbols> counts) {
    std::array<uint32_t, kLiteralSymbols> widened;
    std::copy(counts.begin(), counts.end(), widened.begin());
    if (std::count_if(counts.begin(), counts.end(), [](uint32_t c) { return c != 0; }) < 2)
        ++widened[counts[0] == 0 ? 0 : 1];
    return MakeCode(widened);
}

// Number of lengths worth sending: trailing zero lengths are implied.
unsigned SentLengths(std::span<const uint8_t> lengths) {
    unsigned n = static_cast<unsigned>(lengths.size());
    while (n > 0 && lengths[n - 1] == 0) --n;
    return n;
}

// The lengths of the pre-code or the position code: a count, then each length in 3 bits, or from 7 up
// as 111 followed by (length - 7) one bits and a zero bit. The pre-code adds a 2-bit count of zero
// lengths after its third length.
void PutSmallCodeLengths(TBitWriter& out, const TBlockCode& code, unsigned countBits, unsigned zeroRunAfter) {
    if (code.IsConstant) {
        out.Put(0, countBits);
        out.Put(code.Constant, countBits);
        return;
    }
    const unsigned n = SentLengths(code.Lengths);
    out.Put(n, countBits);
    for (unsigned i = 0; i < n;) {
        const unsigned len = code.Lengths[i++];
        if (len <= 6) {
            out.Put(len, 3);
        } else {
            out.Put((1u << (len - 3)) - 2, len - 3);
        }
        if (i == zeroRunAfter) {
            unsigned j = i;
            while (j < zeroRunAfter + 3 && j < code.Lengths.size() && code.Lengths[j] == 0) ++j;
            out.Put(j - i, 2);
            i = j;
        }
    }
}

// A literal/length code length as the pre-code sends it: symbol 0 is one zero length, 1 a run of
// 3..18 zeros (4 more bits), 2 a run of 20..531 zeros (9 more bits), 3..18 the lengths 1..16.
struct TPreCodeItem {
    uint8_t Symbol;
    uint8_t ExtraBits;
    uint16_t Extra;
};

std::vector<TPreCodeItem> PreCodeItems(std::span<const uint8_t> lengths) {
    std::vector<TPreCodeItem> items;
    for (size_t i = 0; i < lengths.size();) {
        if (lengths[i] != 0) {
            items.push_back({static_cast<uint8_t>(lengths[i++] + 2), 0, 0});
            continue;
        }
        unsigned run = 0;
        while (i < lengths.size() && lengths[i] == 0) ++run, ++i;
        if (run <= 2) {
            for (; run > 0; --run) items.push_back({0, 0, 0});
        } else if (run <= 18) {
            items.push_back({1, 4, static_cast<uint16_t>(run - 3)});
        } else if (run == 19) { // no single symbol covers 19
            items.push_back({0, 0, 0});
            items.push_back({1, 4, 15});
        } else {
            items.push_back({2, 9, static_cast<uint16_t>(run - 20)});
        }
    }
    return items;
}

// The literal/length code lengths through the pre-code (a code of at least two symbols).
void PutLiteralCodeLengths(TBitWriter& out, const TBlockCode& literals) {
    const unsigned n = SentLengths(literals.Lengths);
    const auto items = PreCodeItems(std::span(literals.Lengths).first(n));
    std::array<uint32_t, kPreCodeSymbols> counts{};
    for (const auto& item : items) ++counts[item.Symbol];
    const TBlockCode preCode = MakeCode(counts);
    PutSmallCodeLengths(out, preCode, kPreCodeCountBits, kPreCodeZeroRunAfter);
    out.Put(n, kLiteralCountBits);
    for (const auto& item : items) {
        preCode.Put(out, item.Symbol);
        out.Put(item.Extra, item.ExtraBits);
    }
}

unsigned LiteralSymbol(const TLzToken& t) {
    return t.IsLiteral() ? t.Value : t.Length + kLengthBias;
}

// How often each symbol occurs in a run of tokens.
struct TSymbolCounts {
    std::array<uint32_t, kLiteralSymbols> Literals{};
    std::array<uint32_t, kMaxPositionSymbols> Positions{};
    uint32_t Tokens = 0;

    explicit TSymbolCounts(std::span<const TLzToken> tokens) {
        for (const auto& t : tokens) {
            ++Literals[LiteralSymbol(t)];
            if (!t.IsLiteral()) ++Positions[PositionSymbol(t.Value - 1u)];
        }
        Tokens = static_cast<uint32_t>(tokens.size());
    }
    TSymbolCounts& operator+=(const TSymbolCounts& other) {
        for (size_t i = 0; i < Literals.size(); ++i) Literals[i] += other.Literals[i];
        for (size_t i = 0; i < Positions.size(); ++i) Positions[i] += other.Positions[i];
        Tokens += other.Tokens;
        return *this;
    }
};

// The two codes of a block, made for its counts.
struct TBlockCodes {
    TBlockCode Literals;
    TBlockCode Positions;
    unsigned PositionCountBits;

    TBlockCodes(const TSymbolCounts& counts, const TLhFormat& format)
        : Literals(MakeLiteralCode(counts.Literals)),
          Positions(MakeCode(std::span(counts.Positions).first(format.PositionSymbols))),
          PositionCountBits(format.PositionCountBits) {}

    void PutHeader(TBitWriter& out, uint32_t tokens) const {
        out.Put(tokens, kBlockSizeBits);
        PutLiteralCodeLengths(out, Literals);
        PutSmallCodeLengths(out, Positions, PositionCountBits, kNoZeroRun);
    }

    // Bits of the header and of the codes of counts; the extra position bits are left out, since
    // they are the same however the tokens are split into blocks.
    uint64_t CodedBits(const TSymbolCounts& counts) const {
        TBitWriter header;
        PutHeader(header, counts.Tokens);
        uint64_t bits = header.BitsWritten();
        for (size_t i = 0; i < counts.Literals.size(); ++i)
            bits += uint64_t{counts.Literals[i]} * Literals.Lengths[i];
        for (size_t i = 0; i < Positions.Lengths.size(); ++i)
            bits += uint64_t{counts.Positions[i]} * Positions.Lengths[i];
        return bits;
    }
};

uint64_t CodedBits(const TSymbolCounts& counts, const TLhFormat& format) {
    return TBlockCodes(counts, format).CodedBits(counts);
}

void PutBlock(TBitWriter& out, std::span<const TLzToken> tokens, const TSymbolCounts& counts,
              const TLhFormat& format) {
    const TBlockCodes codes(counts, format);
    codes.PutHeader(out, static_cast<uint32_t>(tokens.size()));
    for (const auto& t : tokens) {
        codes.Literals.Put(out, LiteralSymbol(t));
        if (t.IsLiteral()) continue;
        const unsigned d = t.Value - 1u;
        const unsigned p = PositionSymbol(d);
        codes.Positions.Put(out, p);
        if (p > 1) out.Put(d, p - 1); // the bits below the top bit
    }
}

// Blocks grow piece by piece while one code for both costs less than a block boundary between them,
// so that data whose statistics change gets fresh codes where they change. Before the end of the data
// only blocks are put whose growth looked at tokens that are all there: with more than
// maxBlockSymbols tokens after a block's start, that block ends as it would with every token known.
// Returns how many tokens went into blocks.
size_t PutBlocks(TBitWriter& out, std::span<const TLzToken> tokens, uint32_t maxBlockSymbols,
                 const TLhFormat& format, bool final) {
    const size_t piece = std::min<size_t>(kBlockPieceSymbols, maxBlockSymbols);
    size_t start = 0;
    while (start < tokens.size() && (final || tokens.size() - start > maxBlockSymbols)) {
        size_t end = std::min(tokens.size(), start + piece);
        TSymbolCounts block(tokens.subspan(start, end - start));
        uint64_t blockBits = CodedBits(block, format);
        while (end < tokens.size() && end - start + piece <= maxBlockSymbols) {
            const size_t next = std::min(tokens.size(), end + piece);
            const TSymbolCounts more(tokens.subspan(end, next - end));
            TSymbolCounts joined = block;
            joined += more;
            const uint64_t joinedBits = CodedBits(joined, format);
            if (joinedBits > blockBits + CodedBits(more, format)) break;
            block = joined;
            blockBits = joinedBits;
            end = next;
        }
        PutBlock(out, tokens.subspan(start, end - start), block, format);
        start = end;
    }
    return start;
}

const TLH5Options& Checked(const TLH5Options& options) {
    if (options.BlockSymbols == 0 || options.BlockSymbols > kMaxBlockSymbols ||
        (options.WindowBits != 13 && options.WindowBits != 15 && options.WindowBits != 16))
        throw std::invalid_argument("lh5 encoder options out of range");
    return options;
}

std::unique_ptr<TLzTokenizer> MakeParser(const TLH5Options& options) {
    TLzParams params;
    params.WindowSize = 1u << options.WindowBits;
    params.MaxMatch = kMaxMatch;
    const bool large = options.WindowBits > 13;
    params.MaxChain = options.MaxChain != 0 ? options.MaxChain : large ? kMaxChainLh7 : kMaxChain;
    if (!options.OptimalParsing) {
        params.NiceLength = kMaxMatch;
        return std::make_unique<TLzStreamParser>(params);
    }
    params.NiceLength = large ? kOptimalNiceLengthLh7 : kOptimalNiceLength;
    return std::make_unique<TLhOptimalParser>(params);
}

class TLh5Encoder final : public TStreamEncoder {
public:
    explicit TLh5Encoder(const TLH5Options& options)
        : FParser(MakeParser(Checked(options))), FBlockSymbols(options.BlockSymbols),
          FFormat(options.WindowBits) {}

    void Put(std::span<const uint8_t> data, std::vector<uint8_t>& out) override {
        FParser->Put(data, FTokens);
        // Blocks are put in batches: each batch moves the backlog of tokens down once.
        if (FTokens.size() >= kBacklogTokens) PutReady(false, out);
    }

    void Finish(std::vector<uint8_t>& out) override {
        FParser->Finish(FTokens);
        PutReady(true, out);
        const auto last = FBits.Finish(); // an empty entry stores nothing
        out.insert(out.end(), last.begin(), last.end());
    }

    uint64_t BytesCoded() const override { return FCoded; }

private:
    static constexpr size_t kBacklogTokens = 4 * kMaxBlockSymbols;

    std::unique_ptr<TLzTokenizer> FParser;
    uint32_t FBlockSymbols;
    TLhFormat FFormat;
    std::vector<TLzToken> FTokens;
    TBitWriter FBits;
    uint64_t FCoded = 0;

    void PutReady(bool final, std::vector<uint8_t>& out) {
        const size_t done = PutBlocks(FBits, FTokens, FBlockSymbols, FFormat, final);
        for (size_t i = 0; i < done; ++i) FCoded += FTokens[i].Covers();
        FTokens.erase(FTokens.begin(), FTokens.begin() + static_cast<std::ptrdiff_t>(done));
        FBits.TakeBytes(out);
    }
};

} // namespace

std::unique_ptr<TStreamEncoder> MakeLZH5Encoder(const TLH5Options& options) {
    return std::make_unique<TLh5Encoder>(options);
}

std::vector<uint8_t> EncodeLZH5(std::span<const uint8_t> data, const TLH5Options& options) {
    return EncodeAll(*MakeLZH5Encoder(options), data);
}

std::vector<uint8_t> EncodeLZH5(std::span<const uint8_t> data) {
    return EncodeLZH5(data, TLH5Options{});
}

} // namespace yar::builder
