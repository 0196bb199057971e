// Reading, writing and copying files through the runtime's streams: the same code serves the
// Win32 and the host implementation of TFiles.
#include "system/Files.h"

#include "system/FileServices.h"
#include "system/Streams.h"
#include "util/Text.h"

#include <array>
#include <memory>

namespace yar {

namespace {

constexpr int32_t kCopyBlockSize = 8192;
// Reading while nobody writes; fmOpenRead is 0, named for the reader.
// cppcheck-suppress badBitmaskCheck
constexpr uint16_t kReadDenyWrite = fmOpenRead | fmShareDenyWrite;

} // namespace

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    return lines;
}

std::optional<std::string> ReadBytesAt(const std::string& path) {
    // A directory opens on some systems; it has no bytes.
    if (!FileExistsAt(path)) return std::nullopt;
    try {
        TFileStream file(NativePath(path), kReadDenyWrite);
        std::string text;
        std::array<char, kCopyBlockSize> block{};
        for (int32_t got; (got = file.Read(block.data(), kCopyBlockSize)) > 0;)
            text.append(block.data(), got);
        return text;
    } catch (const EStreamError&) {
        return std::nullopt;
    }
}

std::optional<std::vector<std::string>> ReadLinesAt(const std::string& path) {
    const std::optional<std::string> bytes = ReadBytesAt(path);
    if (!bytes) return std::nullopt;
    return SplitLines(*bytes);
}

bool WriteLinesAt(const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    try {
        TFileStream file(NativePath(path), fmCreate | fmShareExclusive);
        file.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
        return true;
    } catch (const EStreamError&) {
        return false;
    }
}

std::optional<std::string> OthersMayChange(const TFiles& files, const std::string& path, uint32_t rights) {
    return OthersMayChangeReason(files.Security(path), files.CurrentAccount(), rights);
}

std::optional<TUnsafeLevel> UnsafeDirectoryLevel(const TFiles& files, const std::string& dir, bool links) {
    uint32_t rights = kChangeRights;
    for (std::string level = ExcludeTrailingDelimiter(dir); !level.empty() && !IsDriveRoot(level);) {
        if (const std::optional<uint16_t> attributes = files.Attributes(level)) {
            if (links && (*attributes & faReparsePoint) != 0) return TUnsafeLevel{level, "it is a link"};
            if ((*attributes & faDirectory) != 0)
                if (std::optional<std::string> account = OthersMayChange(files, level, rights))
                    return TUnsafeLevel{level, std::move(*account)};
        }
        rights = kReplaceChildRights;
        std::string parent = ExcludeTrailingDelimiter(ExtractFilePath(level));
        if (parent.size() >= level.size()) break;
        level = std::move(parent);
    }
    return std::nullopt;
}

std::string UnsafeLevelText(const TUnsafeLevel& level) {
    return Concat({level.Dir, " is not safe: ", level.Reason});
}

std::optional<std::string> UnsafeFileReason(const TFiles& files, const std::string& path) {
    if (const std::optional<uint16_t> attributes = files.Attributes(path)) {
        if ((*attributes & faReparsePoint) != 0) return "it is a link";
        if (std::optional<std::string> account = OthersMayChange(files, path, kChangeRights)) return account;
    }
    if (const std::optional<TUnsafeLevel> level = UnsafeDirectoryLevel(files, ExtractFileDir(path), true))
        return UnsafeLevelText(*level);
    return std::nullopt;
}

std::vector<std::string> MissingDirectoryLevels(const TFiles& files, const std::string& dir) {
    std::vector<std::string> missing;
    for (std::string level = ExcludeTrailingDelimiter(dir);
         !level.empty() && !IsDriveRoot(level) && !files.DirectoryExists(level);
         level = ExtractFileDir(level))
        missing.push_back(level);
    return missing;
}

namespace {

// The file at path opened at its end, created when missing, shared with nobody while it is open.
std::unique_ptr<TFileStream> OpenAtEnd(const std::string& path) {
    auto file = std::make_unique<TFileStream>(NativePath(path), FileAttributesAt(path)
                                                                    ? uint16_t{fmOpenWrite | fmShareExclusive}
                                                                    : uint16_t{fmCreate | fmShareExclusive});
    file->Seek(0, TSeekOrigin::soEnd);
    return file;
}

// Writes line and CR LF and has the system put them on the disk. A killed program needs only the write:
// its bytes are the system's from then on. A machine that stops needs them on the disk before the change
// they record can reach it, or that change would be there with nothing to undo it.
bool PutLine(TFileStream& file, const std::string& line) {
    const std::string text = line + "\r\n";
    file.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
    return file.FlushToDisk();
}

// Appends through the TFiles' own AppendLine.
class TAppendLineAppender final : public TLineAppender {
public:
    TAppendLineAppender(TFiles& files, std::string path) : FFiles(files), FPath(std::move(path)) {}
    bool Append(const std::string& line) override { return FFiles.AppendLine(FPath, line); }

private:
    TFiles& FFiles;
    std::string FPath;
};

// Appends through a stream opened once, shared with nobody while it is held.
class TStreamLineAppender final : public TLineAppender {
public:
    explicit TStreamLineAppender(std::string path) : FPath(std::move(path)) {}
    bool Append(const std::string& line) override {
        try {
            if (!FFile) FFile = OpenAtEnd(FPath);
            return PutLine(*FFile, line);
        } catch (const EStreamError&) {
            FFile.reset(); // opened afresh for the next line
            return false;
        }
    }

private:
    std::string FPath;
    std::unique_ptr<TFileStream> FFile;
};

} // namespace

bool AppendLineAt(const std::string& path, const std::string& line) {
    try {
        return PutLine(*OpenAtEnd(path), line);
    } catch (const EStreamError&) {
        return false;
    }
}

std::unique_ptr<TLineAppender> TFiles::OpenLineAppender(const std::string& path) {
    return std::make_unique<TAppendLineAppender>(*this, path);
}

std::unique_ptr<TLineAppender> FileLineAppender(const std::string& path) {
    return std::make_unique<TStreamLineAppender>(path);
}

TCopyResult CopyFileAt(const std::string& from, const std::string& to, bool failIfExists) {
    if (failIfExists && FileAttributesAt(to)) return crTargetExists;
    std::unique_ptr<TFileStream> source, target;
    try {
        source = std::make_unique<TFileStream>(NativePath(from), kReadDenyWrite);
    } catch (const EStreamError&) {
        return crCannotOpen;
    }
    try {
        // The source keeps others from writing and the target is exclusive, so copying a file onto
        // itself fails before it is truncated.
        target = std::make_unique<TFileStream>(NativePath(to), fmCreate | fmShareExclusive);
    } catch (const EFCreateError& e) {
        return IsInUseError(e.Code()) ? crTargetInUse : crCannotCreate;
    } catch (const EStreamError&) {
        return crCannotCreate;
    }
    try {
        std::array<char, kCopyBlockSize> block{};
        for (int32_t got; (got = source->Read(block.data(), kCopyBlockSize)) > 0;)
            target->WriteBuffer(block.data(), got);
        return crCopied;
    } catch (const EStreamError&) {
        return crWriteFailed;
    }
}

void TFiles::CopyFileInto(const std::string& source, const std::string& dest) {
    const std::optional<uint16_t> attributes = Attributes(dest);
    const bool intoDirectory = !attributes || (*attributes & faDirectory) != 0;
    const std::string target =
        intoDirectory ? IncludeTrailingDelimiter(dest) + ExtractFileName(source) : dest;
    switch (CopyFileChecked(source, target, false)) {
    case crCopied:
        return;
    case crCannotOpen:
        throw ECopyFileError("Cannot open file " + source);
    case crCannotCreate:
    case crTargetExists:
        throw ECopyFileError("Cannot create file " + target);
    case crTargetInUse:
        throw EFileInUse(target);
    case crWriteFailed:
        throw EWriteError();
    }
}

} // namespace yar
