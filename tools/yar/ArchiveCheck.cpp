#include "tools/yar/ArchiveCheck.h"

#include "archive/ArchiveFormat.h"
#include "archive/CompressionMethods.h"
#include "util/EntryNames.h"
#include "util/Text.h"

#include <unordered_set>

namespace yar::tool {
namespace {

int32_t ReadFully(TStream& s, uint8_t* buffer, int32_t count) {
    int32_t done = 0;
    while (done < count) {
        const int32_t got = s.Read(buffer + done, count - done);
        if (got <= 0) break;
        done += got;
    }
    return done;
}

bool KnownMethod(uint8_t method) {
    // Custom data needs a decoder the tool does not have: its data would be dropped.
    const TMethodRow* row = MethodRow(method);
    return row != nullptr && row->Decode != nullptr;
}

} // namespace

std::vector<TStructureProblem> CheckArchiveStructure(TStream& Source, const TNameList* Names) {
    std::vector<TStructureProblem> problems;
    const auto add = [&](const std::string& entry, const std::string& problem) {
        problems.push_back({entry, problem});
    };
    Source.SetPosition(0);
    const int64_t size = Source.Size();
    if (size < ArchiveHeaderSize) {
        add("", "the archive header is cut short (" + std::to_string(size) + " bytes)");
        return problems;
    }
    TArchiveHeaderBytes headerBytes{};
    Source.ReadBuffer(headerBytes.data(), ArchiveHeaderSize);
    const TArchiveHeader header = DecodeArchiveHeader(headerBytes);
    if (header.TotalSize < 0) add("", "negative total size " + std::to_string(header.TotalSize));

    int64_t sum = 0;
    std::unordered_set<std::string> stored;
    for (int64_t at = ArchiveHeaderSize; at < size;) {
        if (size - at < EntryHeaderSize) {
            add("", std::to_string(size - at) + " bytes after the last entry are no entry");
            break;
        }
        TEntryHeaderBytes bytes{};
        Source.SetPosition(at);
        Source.ReadBuffer(bytes.data(), EntryHeaderSize);
        const TEntryHeader h = DecodeEntryHeader(bytes);
        const int64_t nameStart = at + EntryHeaderSize;
        if (h.NameLength < 0 || nameStart + h.NameLength > size) {
            add("", "entry header at offset " + std::to_string(at) + " has a name length of " +
                        std::to_string(h.NameLength) + " that runs past the end of the archive");
            break;
        }
        std::string name(static_cast<std::size_t>(h.NameLength), '\0');
        ReadFully(Source, reinterpret_cast<uint8_t*>(name.data()), h.NameLength);
        const int64_t dataStart = nameStart + h.NameLength;
        if (const std::string why = UnsafeEntryNameReason(name); !why.empty())
            add(name, "unsafe name: " + why);
        if (h.ExpandedSize < 0) add(name, "impossible size " + std::to_string(h.ExpandedSize));
        if (h.CompressedSize < 0) {
            add(name, "impossible packed size " + std::to_string(h.CompressedSize) +
                          ": the rest of the archive cannot be read");
            break;
        }
        if (!KnownMethod(h.Method)) add(name, "unknown compression method #" + std::to_string(h.Method));
        if (h.Method == coNone && h.CompressedSize != h.ExpandedSize)
            add(name, "stored entry of " + std::to_string(h.ExpandedSize) + " bytes holds " +
                          std::to_string(h.CompressedSize));
        if (dataStart + h.CompressedSize > size) {
            add(name, "its data runs past the end of the archive (" + std::to_string(h.CompressedSize) +
                          " bytes packed, " + std::to_string(size - dataStart) + " left)");
            break;
        }
        if (BeyondTotal(sum, header.TotalSize) && h.ExpandedSize > 0)
            add(name, "after the archive's total size: an expansion never reaches it");
        sum += std::max<int32_t>(h.ExpandedSize, 0);
        stored.insert(UpperCase(name));
        at = dataStart + h.CompressedSize;
    }
    // An archive of empty files only holds a total above 0, or an expansion would stop before them.
    if (sum != header.TotalSize && !(sum == 0 && header.TotalSize > 0))
        add("", "the header's total size is " + std::to_string(header.TotalSize) +
                    " bytes, the entries hold " + std::to_string(sum));
    if (Names)
        for (const std::string& name : *Names)
            if (stored.count(UpperCase(name)) == 0)
                add(name, "named in the set's list but not in the archive");
    return problems;
}

} // namespace yar::tool
