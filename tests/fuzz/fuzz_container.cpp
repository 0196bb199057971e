// Lists and expands an archive held in memory. Every file the archive asks for is redirected into one
// scratch directory of this process, so that creation, dates, attributes and directories are run for
// real; the archive's own names and settings (key, name list, recognizer, custom decoder, progress
// answer) vary with the input. Only the container's and the runtime's documented errors may escape.
#include "archive/Compress.h"
#include "system/FileServices.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace yar;

namespace {

const std::string& ScratchDir() {
    // Never destroyed, so that the exit handler that removes the directory can still name it.
    static const std::string* const dir = [] {
        auto* d = new std::string("/tmp/fuzz_container." + std::to_string(getpid()));
        std::filesystem::create_directories(*d + "/sub");
        std::atexit([] { std::filesystem::remove_all(ScratchDir()); });
        return d;
    }();
    return *dir;
}

// Copies up to size bytes of the custom entry, as far as the stream reaches, in bounded blocks.
void CopyCustom(TStream& dest, TStream& source, int32_t size, int32_t& checksum) {
    uint8_t block[4096];
    uint32_t sum = 0;
    while (size > 0) {
        const int32_t got = source.Read(block, std::min<int32_t>(size, sizeof block));
        if (got <= 0) break;
        dest.WriteBuffer(block, got);
        sum = ByteSum(block, static_cast<size_t>(got), sum);
        size -= got;
    }
    checksum = static_cast<int32_t>(sum);
}

// Reports 64 KiB free, so that entries claiming more raise before their file is made: the decoders
// produce an entry's full expanded size even from input that ends early.
class TBoundedCompress : public TCompress {
protected:
    double DriveFreeSpace(const std::string&) override { return 1 << 16; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint8_t knobs = size > 0 ? data[size - 1] : 0; // settings ride on the last byte
    TMemoryStream source(std::vector<uint8_t>(data, data + size));
    TBoundedCompress c;
    c.SetKey((knobs & 1) ? 0x1234567 : 0);
    c.SetCheckSpaceBeforeExpand(true);
    c.SetMakeDirectories(true);
    c.SetExceptionOnFileError(knobs & 4);
    if (knobs & 8) c.OnRecognize = [](const std::string& id, bool& ok) { ok = !id.empty() && (id[0] & 1); };
    if (knobs & 16)
        c.OnExpand = [](TStream& d, TStream& s, int32_t n, int32_t, const std::string&, int32_t& sum) {
            CopyCustom(d, s, n, sum);
        };
    int reports = 0;
    if (knobs & 32)
        c.OnShowProgress = [&](int32_t& percent) {
            if (++reports == 3) percent = -1;
        };
    int files = 0;
    c.OnCheckFile = [&](std::string& path, TCProcessMode) {
        if (path.size() % 7 == 0) path.clear(); // some entries skipped
        if (++files > 64) path = "*";
        if (path.empty() || path == "*") return;
        // Alternates a plain file and one whose directory the container may have to create.
        path = ScratchDir() + ((files & 1) ? "\\sub\\deeper\\file" : "\\file");
        RemoveFileAt(path); // a read-only copy of the last run would refuse to be replaced
    };

    try {
        TArchiveListing list;
        c.ListArchive(source, list);
        TNameList names;
        for (size_t i = 0; i < list.size(); i += 2) names.push_back(list[i].Name);
        source.SetPosition(0);
        c.ExpandArchive(source, (knobs & 64) ? &names : nullptr);
    } catch (const ECompressError&) { // the documented failures of a bad archive
    } catch (const EStreamError&) {
    } catch (const EInOutError&) {
    }
    return 0;
}
