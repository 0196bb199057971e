// LZ77 parsing shared by the builder's dictionary encoders: a hash-chain match finder with lazy
// evaluation. Data may come piece by piece; a leading dictionary may serve only as match source (the
// window content a decoder starts with).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace yar::builder {

struct TLzParams {
    uint32_t WindowSize = 8192; // farthest a match may reach back (a power of two)
    uint32_t MinMatch = 3;
    uint32_t MaxMatch = 256;
    uint32_t MaxChain = 256;   // candidates tried per position
    uint32_t NiceLength = 256; // a match this long is taken without looking further
};

// One step of a parse: a literal byte, or Length bytes copied from Distance bytes back.
struct TLzToken {
    uint16_t Length; // 0 for a literal
    uint16_t Value;  // the literal byte, or the distance (1..WindowSize)
    bool IsLiteral() const { return Length == 0; }
    uint32_t Covers() const { return IsLiteral() ? 1 : Length; } // bytes of data the token stands for
};

// Parses data as it arrives. A position is parsed once MaxMatch bytes after it are known (or at the
// end), so the tokens are the same however the data is split; the parser keeps only the window and
// that lookahead, whatever the length of the data.
class TLzStreamParser {
public:
    explicit TLzStreamParser(const TLzParams& params, std::span<const uint8_t> dictionary = {});

    // Takes the next data; the tokens decided so far are appended to tokens.
    void Put(std::span<const uint8_t> data, std::vector<TLzToken>& tokens);
    // Ends the data: the remaining tokens are appended. Every match ends within the data.
    void Finish(std::vector<TLzToken>& tokens);

private:
    struct TMatch {
        uint32_t Length = 0;
        uint32_t Distance = 0;
    };

    TLzParams FParams;
    std::vector<uint8_t> FBuf; // the data from absolute position FBase on
    int64_t FBase = 0;
    int64_t FPos = 0;      // the next position to parse
    int64_t FInserted = 0; // positions below this are in the chains
    std::vector<int64_t> FHead;
    std::vector<int64_t> FPrev;
    int64_t FMask;
    TMatch FPending; // a match found at FPos - 1, held back
    bool FHasPending = false;

    int64_t End() const { return FBase + static_cast<int64_t>(FBuf.size()); }
    const uint8_t* At(int64_t pos) const { return FBuf.data() + (pos - FBase); }
    uint32_t Hash(int64_t pos) const;
    void InsertUpTo(int64_t end);
    TMatch Find(int64_t pos) const;
    void Parse(bool final, std::vector<TLzToken>& tokens);
    void DropOld();
};

// Parses buffer[start..] into tokens; matches may reach into buffer[0..start) but never before it.
// Every match ends within the buffer.
std::vector<TLzToken> ParseLz(std::span<const uint8_t> buffer, size_t start, const TLzParams& params);

} // namespace yar::builder
