// Writing segment sets: the logical stream of set header, scan records with templates and name lists,
// archive headers and archives, cut into numbered (or fixed-extension) volume files of a given size.
#pragma once

#include "archive/ExpandStream.h"
#include "archive/SegmentRecords.h"
#include "system/Streams.h"

#include <cstdint>
#include <fstream>
#include <span>
#include <string>
#include <vector>

namespace yar::builder {

// The size of a 1.44 MB floppy as the set's volumes use it.
inline constexpr int32_t SegFloppySize = 1440000;
// Smallest volume worth writing; smaller sizes are raised to it.
inline constexpr int32_t SegMinVolumeSize = 16384;

// Cuts a logical stream into volume files, each beginning with its volume record.
class TSegVolumeWriter {
public:
    // VolumeSize counts the volume record too; sizes below SegMinVolumeSize become SegMinVolumeSize.
    // FirstVolumeSize, when above 0, is volume 1's size instead (what a disk holds beside the
    // setup program), raised to SegMinVolumeSize as well.
    TSegVolumeWriter(std::string Dir, std::string BaseName, std::string Ext,
                     int32_t VolumeSize = SegFloppySize, int32_t FirstVolumeSize = 0);
    ~TSegVolumeWriter();
    TSegVolumeWriter(const TSegVolumeWriter&) = delete;
    TSegVolumeWriter& operator=(const TSegVolumeWriter&) = delete;

    // Continues the logical stream, opening the next volume whenever one is full. A volume that cannot
    // be created or written raises EVolumeFileError, a 65536th volume EBuildLimit.
    void Write(std::span<const uint8_t> bytes);
    // The next byte goes into a new volume even though this one has room (a volume may end anywhere).
    void EndVolume();
    // Closes the last volume; a set always has at least volume 1.
    void Finish();

    // Full paths of the volumes written so far, volume 1 first, in the system's form ("\" joins).
    const std::vector<std::string>& Paths() const { return VolumePaths; }

    // With a fixed extension every volume has the same name, so each one goes into a directory of its
    // own: Dir\disk1, Dir\disk2, ... (the disks of the set). Without one they all share Dir.
    std::string VolumeDir(uint16_t number) const;

private:
    void OpenNext();
    void CloseCurrent();

    std::string Dir, BaseName, Ext;
    int32_t VolumeSize;
    int32_t FFirstVolumeSize;
    std::ofstream Out;
    bool Open = false;
    int64_t Room = 0; // bytes the open volume still takes
    uint16_t Number = 0;
    std::vector<std::string> VolumePaths;
};

// One archive of a set as the writer lays it out.
struct TSegSetArchive {
    std::string Template;          // e.g. "c:\app\*.*"; its directory part is where files go
    uint8_t ArcTag = 0;            // kept by the reader, not interpreted
    int32_t RecordLength = 0;      // length of one name record in NameList
    std::vector<uint8_t> NameList; // a container archive whose first entry holds the name records
    std::vector<uint8_t> Archive;  // the container archive itself
};

// Names in fixed-length records of RecordLength bytes, each padded with Pad (zero bytes or blanks).
std::vector<uint8_t> PackNameRecords(const std::vector<std::string>& names, int32_t recordLength,
                                     uint8_t pad = 0);
// The record length that holds the longest of the names with its terminating zero.
int32_t NameRecordLengthFor(const std::vector<std::string>& names);

// An archive of a set whose name list holds Names, in records just long enough for the longest, as
// the only entry of a container archive in Method.
TSegSetArchive MakeSetArchive(std::string Template, const std::vector<std::string>& Names,
                              std::vector<uint8_t> Archive, uint8_t Method = coLZH5);

// Each record in its packed form, appended to a logical stream.
void AppendRecord(std::vector<uint8_t>& stream, const TSegSetHeader& record);
void AppendRecord(std::vector<uint8_t>& stream, const TSegScanRecord& record);
void AppendRecord(std::vector<uint8_t>& stream, const TSegArcHeader& record);

// The whole logical stream of a set: set header, scan records with templates and name lists, then
// archive headers and archives. Templates, lists and archives beyond the records' fields raise
// EBuildLimit.
std::vector<uint8_t> SegmentSetStream(std::span<const TSegSetArchive> archives);
// The part of that stream before the first archive header: set header, scan records, templates and
// name lists (the archives' bytes are not looked at).
std::vector<uint8_t> SegmentSetHead(std::span<const TSegSetArchive> archives);
// The header of the archive numbered seq (from 0) of size bytes; an archive past the ArcSize field
// raises EBuildLimit.
void AppendArcHeader(std::vector<uint8_t>& stream, uint16_t seq, int64_t size);
// Continues a set in out after its head, or after the archive before: the header of archive seq, then
// size bytes of source from its position, copied in blocks.
void WriteSetArchive(TSegVolumeWriter& out, uint16_t seq, TStream& source, int64_t size);
// The same, cut into the writer's volumes.
void WriteSegmentSet(TSegVolumeWriter& out, std::span<const TSegSetArchive> archives);

} // namespace yar::builder
