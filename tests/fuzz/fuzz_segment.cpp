// Reads a segment set whose volume files come from the input: the input is cut at each "~VOL" into
// volume 1, volume 2, ... and the last byte carries the component's settings. Volume records, set
// records, name lists and archives all vary with the input; files the set asks for are redirected
// into one scratch directory. Prompts are answered OK a few times, then Cancel, so every retry path
// runs and no run asks forever. Only the documented errors of the reader and the container may escape.
#include "archive/Segment.h"
#include "system/FileServices.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

using namespace yar;

namespace {

const std::string& ScratchDir() {
    // Never destroyed, so that the exit handler that removes the directory can still name it.
    static const std::string* const dir = [] {
        auto* d = new std::string("/tmp/fuzz_segment." + std::to_string(getpid()));
        for (const char* sub : {"/vol", "/tmp", "/out/sub"}) std::filesystem::create_directories(*d + sub);
        std::atexit([] { std::filesystem::remove_all(ScratchDir()); });
        return d;
    }();
    return *dir;
}

// Answers OK twice, then Cancel; confirms the volume directory twice, then cancels.
class TFewAnswers : public TUserPrompts {
public:
    bool ErrorOkCancel(const std::string&) override { return ++Boxes <= 2; }
    bool InputQuery(const std::string&, const std::string&, std::string& Value) override {
        if (++Inputs > 6) return false;
        Value = ScratchDir() + "/vol";
        return true;
    }
    int Boxes = 0, Inputs = 0;
};

// Reports 64 KiB free, so that entries claiming more raise before their file is made: the decoders
// produce an entry's full expanded size even from input that ends early.
class TBoundedSeg : public TSegCompEZ {
public:
    using TSegCompEZ::TSegCompEZ;

protected:
    double DriveFreeSpace(const std::string&) override { return 1 << 16; }
};

void WriteVolumes(std::string_view input, bool fixedExt) {
    std::filesystem::remove_all(ScratchDir() + "/vol");
    std::filesystem::create_directories(ScratchDir() + "/vol");
    uint16_t number = 0;
    for (;;) {
        const auto cut = input.find("~VOL");
        const std::string_view volume = input.substr(0, cut);
        // With a fixed extension all volumes share a name: only the last one written is there.
        const std::string name = fixedExt ? "set.seg" : SegVolumeFileName("set", "", ++number);
        std::ofstream(ScratchDir() + "/vol/" + name, std::ios::binary)
            .write(volume.data(), static_cast<std::streamsize>(volume.size()));
        if (cut == std::string_view::npos || number >= 40) break;
        input.remove_prefix(cut + 4);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint8_t knobs = size > 0 ? data[size - 1] : 0;
    WriteVolumes({reinterpret_cast<const char*>(data), size > 0 ? size - 1 : 0}, knobs & 4);
    TFewAnswers answers;
    TBoundedSeg seg(&answers);
    seg.SetSegBaseName("set");
    seg.SetSegExt((knobs & 4) ? "seg" : "");
    seg.SetSegDir(ScratchDir() + "/vol");
    seg.SetSegTmpDir(ScratchDir() + "/tmp");
    seg.SetSegPopUp(knobs & 2);
    seg.SetKey((knobs & 1) ? 0x1234567 : 0);
    seg.SetCheckSpaceBeforeExpand(true);
    if (knobs & 8)
        seg.OnSegBeforeExpand = [](TSegArcList& list) {
            if (list.Count() > 1) list.Move(0, list.Count() - 1);
        };
    if (knobs & 16)
        seg.OnSegBeforeExpand = [](TSegArcList& list) {
            if (list.Count() > 0) list.Delete(0);
        };
    int reports = 0;
    if (knobs & 32)
        seg.OnShowProgress = [&](int32_t& percent) {
            if (++reports == 3) percent = -1;
        };
    if (knobs & 64)
        seg.OnSegAfter = [&seg](TSegMode, const std::string&, uint16_t number) {
            seg.SetAbortFlag(number == 3);
        };
    int files = 0;
    seg.OnCheckFile = [&](std::string& path, TCProcessMode) {
        if (++files > 64) path = "*";
        if (path == "*") return;
        path = ScratchDir() + ((files & 1) ? "/out/sub/deeper/file" : "/out/file");
        RemoveFileAt(path); // a read-only copy of the last run would refuse to be replaced
    };
    try {
        seg.SegExpand();
    } catch (const ESegError&) {
    } catch (const EListError&) {
    } catch (const ECompressError&) {
    } catch (const EStreamError&) {
    } catch (const EInOutError&) {
    }
    // Nothing of a run may stay behind in the temporary directory.
    if (!std::filesystem::is_empty(ScratchDir() + "/tmp")) std::abort();
    return 0;
}
