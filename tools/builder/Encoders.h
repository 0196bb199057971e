// Encoders of the builder: the writing counterparts of the expansion engine's methods.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace yar::builder {

// Encodes data that arrives piece by piece. The stored bytes Put and Finish append, taken together,
// are the same however the data is split, and the same as the one-call encoders below give. An
// encoder holds its window, its match tables and a bounded backlog, whatever the length of the data.
class TStreamEncoder {
public:
    virtual ~TStreamEncoder() = default;
    TStreamEncoder() = default;
    TStreamEncoder(const TStreamEncoder&) = delete;
    TStreamEncoder& operator=(const TStreamEncoder&) = delete;

    // Takes the next data; the stored bytes ready so far are appended to out.
    virtual void Put(std::span<const uint8_t> data, std::vector<uint8_t>& out) = 0;
    // Ends the data: the remaining stored bytes are appended to out.
    virtual void Finish(std::vector<uint8_t>& out) = 0;
    // How many bytes of the data the stored bytes appended so far stand for (within a byte's bits):
    // comparing the two tells early whether the method shrinks the data.
    virtual uint64_t BytesCoded() const = 0;
};

// Tuning of the lh5 encoder, which also writes lh6 and lh7; the defaults are what EncodeLZH5(data)
// uses.
struct TLH5Options {
    // The window: 13 (8 KiB, lh5), 15 (32 KiB, lh6) or 16 (64 KiB, lh7).
    unsigned WindowBits = 13;
    // The path through the data that costs the fewest bits under the codes it gets, rather than the
    // longest match at each position (held back one byte when the next is longer): some percent
    // smaller, about twice as slow.
    bool OptimalParsing = true;
    // Most literals and matches in one block (1..65535). Blocks end earlier where the data changes
    // enough that fresh codes pay for their header.
    uint32_t BlockSymbols = 65535;
    // Match candidates tried per position: more compress a little better, and slower. 0: the window's
    // own choice (48 for lh5; 16 for lh7, whose chains run eight times as far back).
    uint32_t MaxChain = 0;
};

std::unique_ptr<TStreamEncoder> MakeLZH5Encoder(const TLH5Options& options = {});
std::unique_ptr<TStreamEncoder> MakeLZHEncoder();
std::unique_ptr<TStreamEncoder> MakeRLEEncoder();
std::unique_ptr<TStreamEncoder> MakeStoringEncoder(); // coNone: the data as it is

// The whole stored form of data through a fresh stream encoder.
std::vector<uint8_t> EncodeAll(TStreamEncoder& encoder, std::span<const uint8_t> data);

std::vector<uint8_t> EncodeLZH5(std::span<const uint8_t> data); // lh5: LZ77, 8 KiB window, static Huffman
std::vector<uint8_t> EncodeLZH(std::span<const uint8_t> data);  // LZHUF: 4 KiB window, adaptive Huffman
std::vector<uint8_t> EncodeRLE(std::span<const uint8_t> data);  // runs with the 0x94 escape byte
std::vector<uint8_t> EncodeLZH5(std::span<const uint8_t> data, const TLH5Options& options);

} // namespace yar::builder
