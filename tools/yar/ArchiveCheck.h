// The structure of one archive as yar judges it, beside the container's own reading: the container
// reads on where it can, so an entry that overlaps the next one, a size that cannot be, an unknown
// method or a wrong total would otherwise pass without a word.
#pragma once

#include "archive/Compress.h"
#include "system/Streams.h"

#include <cstdint>
#include <string>
#include <vector>

namespace yar::tool {

// One thing wrong with an archive; Entry is the stored name it concerns, empty for the archive.
struct TStructureProblem {
    std::string Entry;
    std::string Problem;
};

// Walks the whole stream from its start: every entry within the stream, the stream consumed to its
// end, sizes possible, methods known, the header's total equal to the sum of the entries, every name
// one the setup program would write (util/EntryNames). Names, when given, are the set's name list of
// this archive: each must name an entry.
std::vector<TStructureProblem> CheckArchiveStructure(TStream& Source, const TNameList* Names = nullptr);

// Whether an entry is one an expansion never reaches: it lies past the archive's total size. Only an
// empty entry may be there without damage.
inline bool BeyondTotal(int64_t ExpandedSoFar, int32_t TotalSize) {
    return ExpandedSoFar >= TotalSize;
}

} // namespace yar::tool
