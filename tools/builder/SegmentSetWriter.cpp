#include "tools/builder/SegmentSetWriter.h"

#include "system/FileServices.h"
#include "tools/builder/ArchiveWriter.h"
#include "tools/builder/BuildErrors.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <utility>

namespace yar::builder {

TSegVolumeWriter::TSegVolumeWriter(std::string dir, std::string baseName, std::string ext, int32_t volumeSize,
                                   int32_t firstVolumeSize)
    : Dir(std::move(dir)), BaseName(std::move(baseName)), Ext(std::move(ext)),
      VolumeSize(std::max(volumeSize, SegMinVolumeSize)),
      FFirstVolumeSize(firstVolumeSize > 0 ? std::max(firstVolumeSize, SegMinVolumeSize) : VolumeSize) {}

TSegVolumeWriter::~TSegVolumeWriter() {
    if (Open) Out.close(); // an unfinished set is left as written; Finish reports write failures
}

std::string TSegVolumeWriter::VolumeDir(uint16_t number) const {
    if (Ext.empty()) return Dir;
    std::string dir = Dir;
    if (!dir.empty() && !IsPathDelimiter(dir.back())) dir += '\\';
    return dir + "disk" + std::to_string(number);
}

void TSegVolumeWriter::OpenNext() {
    if (Number == UINT16_MAX) throw EBuildLimit("a segment set holds at most 65535 volumes");
    ++Number;
    std::string dir = VolumeDir(Number);
    std::filesystem::create_directories(NativePath(dir));
    if (!dir.empty() && !IsPathDelimiter(dir.back())) dir += '\\';
    const std::string path = dir + SegVolumeFileName(BaseName, Ext, Number);
    Out.open(NativePath(path), std::ios::binary | std::ios::trunc);
    if (!Out) throw EVolumeFileError("cannot create volume " + path);
    Open = true;
    VolumePaths.push_back(path);
    TSegVolumeRecord record;
    record.SegNumber = Number;
    uint8_t bytes[TSegVolumeRecord::Size];
    EncodeRecord(record, bytes);
    Out.write(reinterpret_cast<const char*>(bytes), sizeof bytes);
    Room = (Number == 1 ? FFirstVolumeSize : VolumeSize) - static_cast<int64_t>(TSegVolumeRecord::Size);
}

void TSegVolumeWriter::CloseCurrent() {
    if (!Open) return;
    Out.close();
    Open = false;
    if (!Out) throw EVolumeFileError("cannot write volume " + VolumePaths.back());
}

void TSegVolumeWriter::Write(std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        if (!Open || Room == 0) {
            CloseCurrent();
            OpenNext();
        }
        const auto n = static_cast<std::size_t>(std::min<int64_t>(Room, static_cast<int64_t>(bytes.size())));
        Out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(n));
        Room -= static_cast<int64_t>(n);
        bytes = bytes.subspan(n);
    }
}

void TSegVolumeWriter::EndVolume() {
    if (!Open) OpenNext();
    Room = 0;
}

void TSegVolumeWriter::Finish() {
    if (VolumePaths.empty()) OpenNext();
    CloseCurrent();
}

std::vector<uint8_t> PackNameRecords(const std::vector<std::string>& names, int32_t recordLength,
                                     uint8_t pad) {
    if (recordLength < 1) throw std::invalid_argument("name records need at least one byte");
    std::vector<uint8_t> out;
    out.reserve(names.size() * static_cast<std::size_t>(recordLength));
    for (const std::string& name : names) {
        if (name.size() > static_cast<std::size_t>(recordLength))
            throw std::invalid_argument("name longer than its record: " + name);
        out.insert(out.end(), name.begin(), name.end());
        out.insert(out.end(), static_cast<std::size_t>(recordLength) - name.size(), pad);
    }
    return out;
}

int32_t NameRecordLengthFor(const std::vector<std::string>& names) {
    std::size_t longest = 0;
    for (const std::string& name : names) longest = std::max(longest, name.size());
    if (longest + 1 > static_cast<std::size_t>(SegMaxRecordLength))
        throw EBuildLimit("stored name too long for a name record");
    return static_cast<int32_t>(longest + 1);
}

namespace {
template <class Record> void AppendPacked(std::vector<uint8_t>& stream, const Record& record) {
    uint8_t bytes[Record::Size];
    EncodeRecord(record, bytes);
    stream.insert(stream.end(), bytes, bytes + Record::Size);
}
} // namespace

void AppendRecord(std::vector<uint8_t>& stream, const TSegSetHeader& record) {
    AppendPacked(stream, record);
}
void AppendRecord(std::vector<uint8_t>& stream, const TSegScanRecord& record) {
    AppendPacked(stream, record);
}
void AppendRecord(std::vector<uint8_t>& stream, const TSegArcHeader& record) {
    AppendPacked(stream, record);
}

TSegSetArchive MakeSetArchive(std::string Template, const std::vector<std::string>& Names,
                              std::vector<uint8_t> Archive, uint8_t Method) {
    TSegSetArchive arc;
    arc.Template = std::move(Template);
    arc.RecordLength = NameRecordLengthFor(Names);
    const std::vector<uint8_t> records = PackNameRecords(Names, arc.RecordLength);
    TArchiveWriter list(Method);
    list.Add("names.lst", records);
    arc.NameList = list.Bytes();
    arc.Archive = std::move(Archive);
    return arc;
}

std::vector<uint8_t> SegmentSetHead(std::span<const TSegSetArchive> archives) {
    if (archives.size() > UINT16_MAX) throw EBuildLimit("a segment set holds at most 65535 archives");
    std::vector<uint8_t> stream;
    TSegSetHeader set;
    set.ArcCount = static_cast<uint16_t>(archives.size());
    AppendRecord(stream, set);
    for (const TSegSetArchive& arc : archives) {
        if (arc.Template.size() > static_cast<std::size_t>(SegMaxPathLength))
            throw EBuildLimit("template too long: " + arc.Template);
        if (arc.RecordLength < 1 || arc.RecordLength > SegMaxRecordLength)
            throw std::invalid_argument("name record length out of range");
        if (arc.NameList.size() > static_cast<std::size_t>(INT32_MAX))
            throw EBuildLimit("name list too large for a segment set");
        TSegScanRecord scan;
        scan.PathLength = static_cast<uint16_t>(arc.Template.size());
        scan.ArcTag = arc.ArcTag;
        scan.RecordLength = arc.RecordLength;
        scan.ListSize = static_cast<int32_t>(arc.NameList.size());
        AppendRecord(stream, scan);
        stream.insert(stream.end(), arc.Template.begin(), arc.Template.end());
        stream.insert(stream.end(), arc.NameList.begin(), arc.NameList.end());
    }
    return stream;
}

void AppendArcHeader(std::vector<uint8_t>& stream, uint16_t seq, int64_t size) {
    if (size > INT32_MAX) throw EBuildLimit("archive too large for a segment set");
    TSegArcHeader header;
    header.ArcSeq = seq;
    header.ArcSize = static_cast<int32_t>(size);
    AppendRecord(stream, header);
}

std::vector<uint8_t> SegmentSetStream(std::span<const TSegSetArchive> archives) {
    std::vector<uint8_t> stream = SegmentSetHead(archives);
    for (std::size_t i = 0; i < archives.size(); ++i) {
        AppendArcHeader(stream, static_cast<uint16_t>(i), static_cast<int64_t>(archives[i].Archive.size()));
        stream.insert(stream.end(), archives[i].Archive.begin(), archives[i].Archive.end());
    }
    return stream;
}

void WriteSegmentSet(TSegVolumeWriter& out, std::span<const TSegSetArchive> archives) {
    out.Write(SegmentSetStream(archives));
}

void WriteSetArchive(TSegVolumeWriter& out, uint16_t seq, TStream& source, int64_t size) {
    std::vector<uint8_t> block;
    AppendArcHeader(block, seq, size);
    out.Write(block);
    constexpr int64_t kBlockSize = 64 * 1024;
    block.resize(kBlockSize);
    for (int64_t left = size; left > 0;) {
        const auto n = static_cast<int32_t>(std::min(left, kBlockSize));
        source.ReadBuffer(block.data(), n);
        out.Write(std::span(block).first(static_cast<std::size_t>(n)));
        left -= n;
    }
}

} // namespace yar::builder
