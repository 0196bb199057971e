// LZ77 parsing shared by the builder's dictionary encoders: a hash-chain match finder, with lazy
// evaluation on top. Data may come piece by piece; a leading dictionary may serve only as match
// source (the window content a decoder starts with).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace yar::builder {

struct TLzParams {
    uint32_t WindowSize = 8192; // farthest a match may reach back (a power of two, 65535 at most used)
    uint32_t MinMatch = 3;
    uint32_t MaxMatch = 256;
    uint32_t MaxChain = 256;   // candidates tried per position
    uint32_t NiceLength = 256; // a match this long is taken without looking further
};

// One step of a parse: a literal byte, or Length bytes copied from Distance bytes back.
struct TLzToken {
    uint16_t Length; // 0 for a literal
    uint16_t Value;  // the literal byte, or the distance (1..65535)
    bool IsLiteral() const { return Length == 0; }
    uint32_t Covers() const { return IsLiteral() ? 1 : Length; } // bytes of data the token stands for
};

struct TLzMatch {
    uint32_t Length = 0;
    uint32_t Distance = 0;
};

// The data seen so far, from a window before the positions still to parse on, and hash chains over
// it: Head holds the latest position of each 3-byte hash, Prev (a ring as large as the window) the
// position before it with the same hash. Chains run from new to old.
class TLzWindow {
public:
    explicit TLzWindow(const TLzParams& params, std::span<const uint8_t> dictionary = {});

    const TLzParams& Params() const { return FParams; }
    int64_t End() const { return FBase + static_cast<int64_t>(FBuf.size()); }
    const uint8_t* At(int64_t pos) const { return FBuf.data() + (pos - FBase); }

    void Append(std::span<const uint8_t> data) { FBuf.insert(FBuf.end(), data.begin(), data.end()); }
    // Puts every position below end (that has three bytes after it) into the chains.
    void InsertUpTo(int64_t end);
    // Matches for pos of up to maxLength bytes among the positions inserted so far (all before pos),
    // each longer than the one before and the nearest of its length: at most out.size() of them,
    // the last slot taken by the longest. Returns how many.
    size_t Matches(int64_t pos, uint32_t maxLength, std::span<TLzMatch> out) const;
    // The longest match for pos within the end of the data; Length 0 when there is none.
    TLzMatch Longest(int64_t pos) const;
    // Data below keep is no longer needed (it is dropped in large steps).
    void Release(int64_t keep);

private:
    TLzParams FParams;
    std::vector<uint8_t> FBuf; // the data from absolute position FBase on
    int64_t FBase = 0;
    int64_t FInserted = 0; // positions below this are in the chains
    std::vector<int64_t> FHead;
    std::vector<int64_t> FPrev;
    int64_t FMask;
    int64_t FReach; // the farthest distance used

    uint32_t Hash(int64_t pos) const;
};

// Turns data that arrives piece by piece into tokens, the same however the data is split.
class TLzTokenizer {
public:
    virtual ~TLzTokenizer() = default;
    TLzTokenizer() = default;
    TLzTokenizer(const TLzTokenizer&) = delete;
    TLzTokenizer& operator=(const TLzTokenizer&) = delete;

    // Takes the next data; the tokens decided so far are appended to tokens.
    virtual void Put(std::span<const uint8_t> data, std::vector<TLzToken>& tokens) = 0;
    // Ends the data: the remaining tokens are appended. Every match ends within the data.
    virtual void Finish(std::vector<TLzToken>& tokens) = 0;
};

// Parses data as it arrives. A position is parsed once MaxMatch bytes after it are known (or at the
// end), so the tokens are the same however the data is split; the parser keeps only the window and
// that lookahead, whatever the length of the data.
class TLzStreamParser final : public TLzTokenizer {
public:
    explicit TLzStreamParser(const TLzParams& params, std::span<const uint8_t> dictionary = {});

    void Put(std::span<const uint8_t> data, std::vector<TLzToken>& tokens) override;
    void Finish(std::vector<TLzToken>& tokens) override;

private:
    TLzWindow FWindow;
    int64_t FPos = 0;  // the next position to parse
    TLzMatch FPending; // a match found at FPos - 1, held back
    bool FHasPending = false;

    void Parse(bool final, std::vector<TLzToken>& tokens);
};

// Parses buffer[start..] into tokens; matches may reach into buffer[0..start) but never before it.
// Every match ends within the buffer.
std::vector<TLzToken> ParseLz(std::span<const uint8_t> buffer, size_t start, const TLzParams& params);

} // namespace yar::builder
