#include "tests/archive/LhaArchive.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace yar::testing {

namespace {

constexpr size_t kMethodOffset = 2;
constexpr size_t kPackedSizeOffset = 7;
constexpr size_t kOriginalSizeOffset = 11;
constexpr size_t kLevelOffset = 20;
constexpr uint8_t kArchiveAttribute = 0x20;
constexpr uint32_t kDosDate1996 = 0x20210000; // 1996-01-01 00:00 as DOS date and time

uint16_t Le16(std::span<const uint8_t> b, size_t at) {
    if (at + 2 > b.size()) throw std::runtime_error("LHA header runs past the archive");
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

uint32_t Le32(std::span<const uint8_t> b, size_t at) {
    return Le16(b, at) | static_cast<uint32_t>(Le16(b, at + 2)) << 16;
}

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Levels 0 and 1: a one-byte header size after which come the method, sizes, date, attribute,
// level, name and CRC; level 1 adds extended headers, counted in the packed size.
size_t ReadLevel01(std::span<const uint8_t> a, size_t at, TLhaEntry& e, uint32_t& packedSize) {
    const size_t base = a[at] + 2u;
    const size_t nameLength = a[at + 21]; // within the 24 bytes checked by the caller
    if (at + base > a.size() || 22 + nameLength + 2 > base)
        throw std::runtime_error("bad LHA level 0/1 header");
    e.Name.assign(a.begin() + static_cast<std::ptrdiff_t>(at + 22),
                  a.begin() + static_cast<std::ptrdiff_t>(at + 22 + nameLength));
    e.Crc = Le16(a, at + 22 + nameLength);
    size_t data = at + base;
    if (e.Level == 1) {
        for (size_t next = Le16(a, at + base - 2); next != 0; next = Le16(a, data - 2)) {
            data += next;
            if (next > packedSize) throw std::runtime_error("LHA extended headers exceed the packed size");
            packedSize -= static_cast<uint32_t>(next);
        }
    }
    return data;
}

// Level 2: a two-byte size of the whole header, extended headers included.
size_t ReadLevel2(std::span<const uint8_t> a, size_t at, TLhaEntry& e) {
    e.Crc = Le16(a, at + 21);
    return at + Le16(a, at);
}

} // namespace

uint16_t LhaCrc16(std::span<const uint8_t> bytes) {
    static const std::array<uint16_t, 256> table = [] {
        std::array<uint16_t, 256> t{};
        for (unsigned i = 0; i < 256; ++i) {
            unsigned c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? (c >> 1) ^ 0xA001 : c >> 1;
            t[i] = static_cast<uint16_t>(c);
        }
        return t;
    }();
    uint16_t crc = 0;
    for (uint8_t b : bytes) crc = static_cast<uint16_t>(table[(crc ^ b) & 0xFF] ^ (crc >> 8));
    return crc;
}

std::vector<TLhaEntry> ReadLhaArchive(std::span<const uint8_t> a) {
    std::vector<TLhaEntry> entries;
    size_t at = 0;
    while (at < a.size() && a[at] != 0) { // a zero header size ends the archive
        if (at + 24 > a.size()) throw std::runtime_error("truncated LHA header");
        TLhaEntry e;
        e.Method.assign(a.begin() + static_cast<std::ptrdiff_t>(at + kMethodOffset),
                        a.begin() + static_cast<std::ptrdiff_t>(at + kMethodOffset + 5));
        uint32_t packedSize = Le32(a, at + kPackedSizeOffset);
        e.OriginalSize = Le32(a, at + kOriginalSizeOffset);
        e.Level = a[at + kLevelOffset];
        size_t data = 0;
        if (e.Level == 0 || e.Level == 1) {
            data = ReadLevel01(a, at, e, packedSize);
        } else if (e.Level == 2) {
            data = ReadLevel2(a, at, e);
        } else {
            throw std::runtime_error("unknown LHA header level " + std::to_string(e.Level));
        }
        if (data + packedSize > a.size()) throw std::runtime_error("LHA entry runs past the archive");
        e.Packed.assign(a.begin() + static_cast<std::ptrdiff_t>(data),
                        a.begin() + static_cast<std::ptrdiff_t>(data + packedSize));
        entries.push_back(std::move(e));
        at = data + packedSize;
    }
    return entries;
}

std::vector<uint8_t> WriteLhaArchive(const std::string& method, const std::string& name,
                                     std::span<const uint8_t> packed, std::span<const uint8_t> original) {
    if (method.size() != 5 || name.size() > 200) throw std::invalid_argument("bad LHA method or name");
    std::vector<uint8_t> header;
    header.insert(header.end(), method.begin(), method.end());
    PutLe(header, static_cast<uint32_t>(packed.size()), 4);
    PutLe(header, static_cast<uint32_t>(original.size()), 4);
    PutLe(header, kDosDate1996, 4);
    header.push_back(kArchiveAttribute);
    header.push_back(0); // level 0
    header.push_back(static_cast<uint8_t>(name.size()));
    header.insert(header.end(), name.begin(), name.end());
    PutLe(header, LhaCrc16(original), 2);

    std::vector<uint8_t> out;
    out.reserve(2 + header.size() + packed.size() + 1);
    out.push_back(static_cast<uint8_t>(header.size())); // the size counts from the method on
    const auto sum = static_cast<uint8_t>(std::accumulate(header.begin(), header.end(), 0u));
    out.push_back(sum);
    out.insert(out.end(), header.begin(), header.end());
    out.insert(out.end(), packed.begin(), packed.end());
    out.push_back(0); // end of archive
    return out;
}

bool OnPath(const std::string& tool) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path != nullptr ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        if (!dir.empty() && access((std::filesystem::path(dir) / tool).c_str(), X_OK) == 0) return true;
    }
    return false;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, std::span<const uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

} // namespace yar::testing
