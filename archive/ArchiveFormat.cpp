#include "archive/ArchiveFormat.h"

#include "archive/CompressionMethods.h"
#include "util/LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace yar {

TArchiveHeader DecodeArchiveHeader(const TArchiveHeaderBytes& b) {
    TArchiveHeader h;
    std::copy_n(b.begin(), h.Magic.size(), h.Magic.begin());
    h.CompressID.assign(reinterpret_cast<const char*>(&b[5]), 3);
    h.TotalSize = GetI32(&b[8]);
    h.ArchiveType = b[12];
    h.Reserved = GetU32(&b[13]);
    h.KeyMarker = GetI32(&b[17]);
    return h;
}

TArchiveHeaderBytes EncodeArchiveHeader(const TArchiveHeader& h) {
    TArchiveHeaderBytes b{};
    std::copy(h.Magic.begin(), h.Magic.end(), b.begin());
    for (size_t i = 0; i < 3; ++i)
        b[5 + i] = static_cast<uint8_t>(i < h.CompressID.size() ? h.CompressID[i] : ' ');
    PutU32(&b[8], static_cast<uint32_t>(h.TotalSize));
    b[12] = h.ArchiveType;
    PutU32(&b[13], h.Reserved);
    PutU32(&b[17], static_cast<uint32_t>(h.KeyMarker));
    return b;
}

TEntryHeader DecodeEntryHeader(const TEntryHeaderBytes& b) {
    TEntryHeader h;
    h.NameLength = static_cast<int16_t>(GetU16(&b[0]));
    h.FileDate = GetU32(&b[2]);
    h.Attributes = GetU16(&b[6]);
    h.ExpandedSize = GetI32(&b[8]);
    h.CompressedSize = GetI32(&b[12]);
    h.Method = b[16];
    h.Checksum = GetI32(&b[17]);
    h.Lock = GetI32(&b[21]);
    return h;
}

TEntryHeaderBytes EncodeEntryHeader(const TEntryHeader& h) {
    TEntryHeaderBytes b{};
    PutU16(&b[0], static_cast<uint16_t>(h.NameLength));
    PutU32(&b[2], h.FileDate);
    PutU16(&b[6], h.Attributes);
    PutU32(&b[8], static_cast<uint32_t>(h.ExpandedSize));
    PutU32(&b[12], static_cast<uint32_t>(h.CompressedSize));
    b[16] = h.Method;
    PutU32(&b[17], static_cast<uint32_t>(h.Checksum));
    PutU32(&b[21], static_cast<uint32_t>(h.Lock));
    return b;
}

std::optional<uint8_t> MethodOrdinalOfID(const std::string& id) {
    for (const TMethodRow& row : CompressionMethods())
        if (id == row.Id) return row.Method;
    return std::nullopt;
}

uint32_t ByteSum(const uint8_t* data, size_t count, uint32_t start) {
    // Four bytes at a time, as two 16-bit lanes of byte pairs: a word adds at most 2 * 255 to a lane, so
    // 128 words fit in the lanes before they are folded into the sum. Every expanded byte passes here.
    constexpr size_t kWordsPerFold = 128;
    size_t i = 0;
    while (count - i >= 4) {
        const size_t end = i + 4 * std::min((count - i) / 4, kWordsPerFold);
        uint32_t lanes = 0;
        for (; i < end; i += 4) {
            uint32_t word;
            std::memcpy(&word, data + i, sizeof word);
            lanes += (word & 0x00FF00FFu) + (word >> 8 & 0x00FF00FFu);
        }
        start += (lanes & 0xFFFFu) + (lanes >> 16);
    }
    for (; i < count; ++i) start += data[i];
    return start;
}

} // namespace yar
