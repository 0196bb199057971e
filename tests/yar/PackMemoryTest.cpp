// yar pack in bounded memory: this test program counts the heap in use by replacing the global
// allocation functions, and packing files many times larger than the bound must stay within it.
#include "tests/archive/ContainerTestSupport.h"
#include "tools/yar/Pack.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <string>

namespace {

std::atomic<int64_t> gLive{0};
std::atomic<int64_t> gPeak{0};

// Each block carries its size in front, so that a delete without a size can take it off again.
constexpr std::size_t kPrefix = alignof(std::max_align_t);

void* Allocate(std::size_t size) {
    void* block = std::malloc(size + kPrefix);
    if (block == nullptr) throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    const int64_t live = gLive += static_cast<int64_t>(size);
    for (int64_t peak = gPeak; live > peak && !gPeak.compare_exchange_weak(peak, live);) {
    }
    return static_cast<char*>(block) + kPrefix;
}

void Release(void* p) noexcept {
    if (p == nullptr) return;
    void* block = static_cast<char*>(p) - kPrefix;
    gLive -= static_cast<int64_t>(*static_cast<std::size_t*>(block));
    std::free(block);
}

} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    Release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Release(p);
}
void operator delete(void* p) noexcept {
    Release(p);
}
void operator delete[](void* p) noexcept {
    Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Release(p);
}

namespace yar::test {
namespace {
namespace fs = std::filesystem;
using namespace yar::tool;

// The most heap held at once while f runs, beyond what was held before.
int64_t PeakHeapDuring(const std::function<void()>& f) {
    const int64_t before = gLive;
    gPeak = before;
    f();
    return gPeak - before;
}

// The encoder's window and tables, the blocks read and written and the backlog of symbols.
constexpr int64_t kBound = 6 << 20;

using YarPackMemory = ScratchDir;

TEST_F(YarPackMemory, StaysWithinItsBoundWhateverTheFileSizes) {
    fs::create_directories(Dir() + "/src/sub");
    {
        // 40 MiB that shrink, written a piece at a time so that the test itself stays small.
        std::ofstream text(fs::path(Dir() + "/src/text.txt"), std::ios::binary);
        std::string piece;
        while (piece.size() < (1u << 20)) piece += "The same line again, and again, and once more.\n";
        for (int i = 0; i < 40; ++i) text << "piece " << i << "\n" << piece;
    }
    WriteFile(Dir() + "/src/sub/noise.bin", Pattern(12 << 20, 3));
    const auto files = CollectSources({Dir() + "/src"});

    for (const uint8_t method : {coLZH5, coLZH7, coLZH}) {
        SCOPED_TRACE("method " + std::to_string(method));
        TPackOptions options;
        options.Method = method;
        options.Key = 9;
        options.Overwrite = true;
        EXPECT_LT(PeakHeapDuring([&] { PackArchive(files, Dir() + "/out.yar", options); }), kBound);
        EXPECT_GT(fs::file_size(Dir() + "/out.yar"), 12u << 20); // the noise is in it, stored
        if (method == coLZH7) continue; // a set holds the same encoder's output: once is enough
        options.VolumeSize = 8 << 20;
        EXPECT_LT(PeakHeapDuring([&] { PackSet(files, Dir() + "/set/disk.001", options); }), kBound);
        EXPECT_TRUE(fs::exists(Dir() + "/set/disk.002"));
    }
}

} // namespace
} // namespace yar::test
