// yar pack: files and directory trees into one container archive, or into a segment set of one
// archive per directory, cut into volumes of a given size.
#pragma once

#include "archive/ExpandStream.h"
#include "system/Streams.h"
#include "tools/builder/SegmentSetWriter.h"
#include "tools/yar/Charset.h"

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace yar::tool {

struct TPackOptions {
    uint8_t Method = coLZH5;
    int32_t Key = 0;                             // above 0: every entry locked and keyed with it
    int32_t VolumeSize = builder::SegFloppySize; // sets only
    int32_t FirstVolumeSize = 0;                 // sets only: volume 1's size when above 0
    std::string FixedExt;                        // sets only: one extension for every volume
    std::string TemplateRoot;                    // sets only: directory the templates start from
    bool Overwrite = false; // replace an existing archive or set (and remove the old set's later volumes)
    std::function<void(const std::string& StoredName)> OnFile; // before each file is packed
};

// A file to pack: its stored directory ("" or "docs\img") and name, and where it is read from.
struct TPackSource {
    std::string StoredDir;
    std::string Name;
    std::string Path;
};

// Files as they are; directories with everything below them, stored relative to the directory.
// Sorted by stored path. An input named twice, or two files whose stored paths are alike or differ
// only in letter case, raise EUsageError; an input that does not exist raises EToolFileError.
// Names are taken as UTF-8 and stored in their Windows-1252 form (see Charset.h); a name with none
// raises EUsageError.
std::vector<TPackSource> CollectSources(const std::vector<std::string>& inputs,
                                        const TCharset& charset = NativeNameCharset);

// A file the tool reads or writes as a stream, its failures raised as EToolFileError in the tool's
// words ("cannot read", "cannot create", "cannot write" and the path). Create makes it anew (an
// existing file is truncated) for writing and reading back.
class TToolFile final : public TStream {
public:
    enum class TMode { Read, Create };
    TToolFile(std::string path, TMode mode);

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    // Reports what the last buffered writes could not write.
    void Close();

private:
    [[noreturn]] void Fail() const;

    std::string FPath;
    TMode FMode;
    std::fstream FFile;
};

// One archive of the files (empty files first: an expansion stops once the sizes reach the total),
// written into dest from its position, each file read and encoded in blocks. Returns the archive's
// size; dest may hold stale bytes past it (see TArchiveStreamWriter::Finish).
int64_t WriteArchive(const std::vector<TPackSource>& files, bool storeDirs, const TPackOptions& options,
                     TStream& dest);

// Writes one archive of the files, stored with their directories, in bounded memory. Without Overwrite an
// existing output raises EExistingOutput; a failure removes what was begun.
void PackArchive(const std::vector<TPackSource>& files, const std::string& output,
                 const TPackOptions& options);
// Writes a set whose volume 1 is output (disk.001), or with a fixed extension whose volumes are
// output's base name with that extension in disk1, disk2, ... beside it. Returns the volume paths.
// Memory stays bounded: each directory's archive is packed into a spill file beside the output (the
// set holds its size before it), copied into the volumes and removed.
// Without Overwrite an existing volume 1 raises EExistingOutput; with it, volumes of an older set
// past the new last one go. A failure removes the volumes begun.
std::vector<std::string> PackSet(const std::vector<TPackSource>& files, const std::string& output,
                                 const TPackOptions& options);

// The DOS packed local date and time of a file's last change, clamped to what DOS dates can hold.
uint32_t DosDateOf(const std::string& path);
// The attribute bits of a file (natively read-only when nobody may write it), with the archive bit.
uint16_t AttributesOf(const std::string& path);

} // namespace yar::tool
