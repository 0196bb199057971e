#include "tests/archive/SegmentTestSupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace yar::test {

bool ScriptedPrompts::ErrorOkCancel(const std::string& Text) {
    Boxes.push_back(Text);
    if (BoxAnswers.empty()) {
        ADD_FAILURE() << "unexpected message box: " << Text;
        return false;
    }
    auto answer = std::move(BoxAnswers.front());
    BoxAnswers.pop_front();
    return answer();
}

bool ScriptedPrompts::InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value) {
    Inputs.emplace_back(Caption, Value);
    EXPECT_EQ(Prompt, "Directory Path:");
    if (DirAnswers.empty()) {
        ADD_FAILURE() << "unexpected input dialog: " << Caption;
        return false;
    }
    const auto answer = std::move(DirAnswers.front());
    DirAnswers.pop_front();
    if (!answer) return false;
    Value = *answer;
    return true;
}

std::vector<uint8_t> ArchiveOf(const TFileList& files, uint8_t method) {
    builder::TArchiveWriter writer(method);
    for (const auto& [name, data] : files) writer.Add(Entry(name, data, method));
    return writer.Bytes();
}

builder::TSegSetArchive SetArchiveOf(const std::string& dir, const TFileList& files) {
    std::vector<std::string> names;
    for (const auto& file : files) names.push_back(file.first);
    return builder::MakeSetArchive(dir + "\\*.*", names, ArchiveOf(files), coNone);
}

std::vector<std::size_t> PieceOffsets(const std::vector<builder::TSegSetArchive>& archives) {
    std::vector<std::size_t> at{0};
    auto next = [&at](std::size_t size) { at.push_back(at.back() + size); };
    next(TSegSetHeader::Size);
    for (const auto& a : archives) {
        next(TSegScanRecord::Size);
        next(a.Template.size());
        next(a.NameList.size());
    }
    for (const auto& a : archives) {
        next(TSegArcHeader::Size);
        next(a.Archive.size());
    }
    return at;
}

std::vector<std::string> WriteSetWithCuts(const std::string& dir, const std::string& base,
                                          const std::string& ext, const std::vector<uint8_t>& stream,
                                          std::vector<std::size_t> cuts) {
    // Written here rather than through the builder's volume writer, which starts no volume that it
    // would leave empty.
    cuts.push_back(stream.size());
    std::vector<std::string> paths;
    std::size_t at = 0;
    for (const std::size_t cut : cuts) {
        const auto number = static_cast<uint16_t>(paths.size() + 1);
        const std::string volumeDir = ext.empty() ? dir : dir + "\\disk" + std::to_string(number);
        std::filesystem::create_directories(NativePath(volumeDir));
        paths.push_back(volumeDir + "\\" + SegVolumeFileName(base, ext, number));
        TSegVolumeRecord record;
        record.SegNumber = number;
        std::vector<uint8_t> bytes(TSegVolumeRecord::Size);
        EncodeRecord(record, bytes.data());
        bytes.insert(bytes.end(), stream.begin() + static_cast<std::ptrdiff_t>(at),
                     stream.begin() + static_cast<std::ptrdiff_t>(cut));
        std::ofstream out(NativePath(paths.back()), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        at = cut;
    }
    return paths;
}

std::optional<int> OpenFileCount() {
#ifdef __linux__
    std::error_code ec;
    int n = 0;
    for (auto it = std::filesystem::directory_iterator("/proc/self/fd", ec); !ec && it != decltype(it){};
         it.increment(ec))
        ++n;
    if (ec) return std::nullopt;
    return n;
#else
    return std::nullopt;
#endif
}

void SegmentTest::SetUp() {
    ScratchDir::SetUp();
    for (const auto& sub : {"vol", "tmp", "out"})
        std::filesystem::create_directories(NativePath(PathOf(sub)));
    Seg.SetSegBaseName("segdata");
    Seg.SetSegDir(VolDir());
    Seg.SetSegTmpDir(TmpDir());
    Seg.SetSegPopUp(false);
}

std::string SegmentTest::OutTemplate(const std::string& sub) const {
    return (sub.empty() ? OutDir() : OutDir() + "\\" + sub) + "\\*.*";
}

std::vector<std::string> SegmentTest::WriteSet(const std::vector<builder::TSegSetArchive>& archives,
                                               std::vector<std::size_t> cuts) {
    return WriteSetWithCuts(VolDir(), "segdata", "", builder::SegmentSetStream(archives), std::move(cuts));
}

std::vector<std::string> SegmentTest::TmpLeftovers() const {
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(NativePath(TmpDir())))
        names.push_back(item.path().filename().string());
    return names;
}

void SegmentTest::ExpectExpanded(const TFileList& files, const std::string& sub) const {
    const std::string dir = sub.empty() ? OutDir() : OutDir() + "\\" + sub;
    for (const auto& [name, data] : files) {
        const std::string path = dir + "\\" + name;
        ASSERT_TRUE(Exists(path)) << path;
        EXPECT_EQ(ReadFile(path), data) << path;
    }
}

} // namespace yar::test
