#include "tools/yar/Pack.h"

#include "archive/SegmentRecords.h"
#include "system/FileServices.h"
#include "tools/builder/ArchiveWriter.h"
#include "tools/builder/BuildErrors.h"
#include "tools/yar/ToolErrors.h"
#include "util/Paths.h"
#include "util/Text.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <system_error>
#include <tuple>

#ifdef _WIN32
#include <windows.h>
#endif

namespace yar::tool {
namespace fs = std::filesystem;

namespace {

std::string StoredPath(const TPackSource& s) {
    return s.StoredDir.empty() ? s.Name : s.StoredDir + "\\" + s.Name;
}

// The stored form of one name of a path: no "\" in it, and a form in the stored charset.
std::string StoredName(const std::string& name, const std::string& path, const TCharset& charset) {
    if (name.find('\\') != std::string::npos) throw EUsageError("a stored name cannot hold \"\\\": " + path);
    const auto stored = Utf8ToStored(name, charset);
    if (!stored)
        throw EUsageError("a name with no Windows-1252 form cannot be extracted on Windows: " + path);
    return *stored;
}

// One input named twice, also as another spelling of its path, would put every file in twice.
void RefuseRepeatedInputs(const std::vector<std::string>& inputs) {
    for (std::size_t i = 1; i < inputs.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) {
            std::error_code ec; // an input that does not exist is reported when it is collected
            if (!fs::equivalent(inputs[j], inputs[i], ec)) continue;
            throw EUsageError("the same input is named twice: " + inputs[j] +
                              (inputs[j] == inputs[i] ? "" : " and " + inputs[i]));
        }
}

// Windows takes names that differ only in letter case for one file, and a set's name list selects
// entries ignoring it, so such names would overwrite or shadow each other.
void RefuseCollidingNames(const std::vector<TPackSource>& files) {
    std::map<std::string, const TPackSource*> stored;
    for (const TPackSource& f : files) {
        const auto [it, added] = stored.emplace(UpperCase(StoredPath(f)), &f);
        if (added) continue;
        const TPackSource& first = *it->second;
        if (StoredPath(first) == StoredPath(f))
            throw EUsageError("two files would be stored as " + StoredPath(f) + ": " + first.Path + " and " +
                              f.Path);
        throw EUsageError(
            "two files would be stored as names that differ only in letter case: " + StoredPath(first) +
            " (" + first.Path + ") and " + StoredPath(f) + " (" + f.Path + ")");
    }
}

void RefuseExisting(const std::string& path, const TPackOptions& options) {
    // A directory in the way is no file to replace: creating the output reports it.
    std::error_code ec;
    const auto type = fs::symlink_status(NativePath(path), ec).type();
    if (!options.Overwrite && type != fs::file_type::not_found && type != fs::file_type::directory)
        throw EExistingOutput(NativePath(path));
}

uint64_t SizeOf(const std::string& path) {
    std::error_code ec;
    const auto size = fs::file_size(fs::path(path), ec);
    if (ec) throw EToolFileError("cannot read " + path);
    return size;
}

// A volume's archive is packed into a file beside the output first: its header needs the archive's
// size before the archive. The name is one nobody uses there.
std::string SpillPath(const std::string& dir, const std::string& stem) {
    for (int n = 1;; ++n) {
        std::string path = JoinPath(dir, "~" + stem + "." + std::to_string(n) + ".tmp");
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(NativePath(path), ec))) return path;
    }
}

} // namespace

uint32_t DosDateOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) throw EToolFileError("cannot read " + path);
    const std::time_t when = st.st_mtime;
    std::tm t{};
#ifdef _WIN32
    localtime_s(&t, &when);
#else
    localtime_r(&when, &t);
#endif
    const int year = std::clamp(t.tm_year + 1900, 1980, 2107);
    if (year != t.tm_year + 1900) { // out of range: the first day of the range
        t = std::tm{};
        t.tm_mday = 1;
    }
    return static_cast<uint32_t>((year - 1980) << 25 | (t.tm_mon + 1) << 21 | t.tm_mday << 16 |
                                 t.tm_hour << 11 | t.tm_min << 5 | t.tm_sec / 2);
}

uint16_t AttributesOf(const std::string& path) {
#ifdef _WIN32
    const DWORD a = GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) throw EToolFileError("cannot read " + path);
    return static_cast<uint16_t>((a & 0x07) | 0x20);
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) throw EToolFileError("cannot read " + path);
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ? 0x21 : 0x20;
#endif
}

std::vector<TPackSource> CollectSources(const std::vector<std::string>& inputs, const TCharset& charset) {
    RefuseRepeatedInputs(inputs);
    std::vector<TPackSource> out;
    for (const std::string& input : inputs) {
        const fs::path root(input);
        if (fs::is_regular_file(root)) {
            out.push_back({"", StoredName(root.filename().string(), input, charset), input});
        } else if (fs::is_directory(root)) {
            for (const auto& item : fs::recursive_directory_iterator(root)) {
                if (!item.is_regular_file()) continue;
                std::string dir;
                for (const auto& part : fs::relative(item.path().parent_path(), root)) {
                    const std::string s = part.string();
                    if (s == ".") continue;
                    if (!dir.empty()) dir += '\\';
                    dir += StoredName(s, item.path().string(), charset);
                }
                out.push_back({dir,
                               StoredName(item.path().filename().string(), item.path().string(), charset),
                               item.path().string()});
            }
        } else {
            throw EToolFileError("no such file or directory: " + input);
        }
    }
    std::sort(out.begin(), out.end(), [](const TPackSource& a, const TPackSource& b) {
        return std::tie(a.StoredDir, a.Name) < std::tie(b.StoredDir, b.Name);
    });
    RefuseCollidingNames(out);
    return out;
}

TToolFile::TToolFile(std::string path, TMode mode) : FPath(std::move(path)), FMode(mode) {
    const auto openMode = mode == TMode::Read
                              ? std::ios::in | std::ios::binary
                              : std::ios::in | std::ios::out | std::ios::binary | std::ios::trunc;
    FFile.open(fs::path(FPath), openMode);
    if (!FFile) {
        if (mode == TMode::Read) throw EToolFileError("cannot read " + FPath);
        throw EToolFileError("cannot create " + FPath + ": " + SysErrorMessage(errno));
    }
}

void TToolFile::Fail() const {
    if (FMode == TMode::Read) throw EToolFileError("cannot read " + FPath);
    throw EToolFileError("cannot write " + FPath + ": " + SysErrorMessage(errno));
}

int32_t TToolFile::Read(void* buffer, int32_t count) {
    FFile.read(static_cast<char*>(buffer), count);
    if (FFile.bad()) Fail();
    const auto n = static_cast<int32_t>(FFile.gcount());
    FFile.clear(); // the end of the file is no failure, and a seek may follow
    return n;
}

int32_t TToolFile::Write(const void* buffer, int32_t count) {
    FFile.write(static_cast<const char*>(buffer), count);
    if (!FFile) Fail();
    return count;
}

int64_t TToolFile::Seek(int64_t offset, TSeekOrigin origin) {
    const auto dir = origin == TSeekOrigin::soBeginning ? std::ios::beg
                     : origin == TSeekOrigin::soCurrent ? std::ios::cur
                                                        : std::ios::end;
    const auto pos = FFile.rdbuf()->pubseekoff(offset, dir, std::ios::in | std::ios::out);
    if (pos == std::streampos(-1)) Fail();
    return static_cast<int64_t>(pos);
}

void TToolFile::Close() {
    FFile.close();
    if (!FFile) Fail();
}

int64_t WriteArchive(const std::vector<TPackSource>& files, bool storeDirs, const TPackOptions& options,
                     TStream& dest) {
    std::vector<std::pair<const TPackSource*, uint64_t>> order;
    order.reserve(files.size());
    for (const TPackSource& f : files) order.emplace_back(&f, SizeOf(f.Path));
    // Empty files first: the expansion ends when the sizes expanded reach the archive's total, so an
    // empty file after the last byte would never be written.
    std::stable_partition(order.begin(), order.end(), [](const auto& f) { return f.second == 0; });

    builder::TArchiveStreamWriter writer(dest, options.Method, options.Key);
    for (const auto& [f, size] : order) {
        const std::string name = storeDirs ? StoredPath(*f) : f->Name;
        if (name.size() > 0x7FFF) throw builder::EBuildLimit("stored name too long: " + name);
        if (options.OnFile) options.OnFile(StoredPath(*f));
        TToolFile source(f->Path, TToolFile::TMode::Read);
        writer.Add(name, DosDateOf(f->Path), AttributesOf(f->Path), source);
    }
    return writer.Finish();
}

void PackArchive(const std::vector<TPackSource>& files, const std::string& output,
                 const TPackOptions& options) {
    RefuseExisting(output, options);
    auto out = std::make_unique<TToolFile>(output, TToolFile::TMode::Create);
    try {
        const int64_t size = WriteArchive(files, true, options, *out);
        out->Close();
        out.reset();
        // An entry stored over its encoded form may leave bytes of that form behind the archive.
        if (static_cast<int64_t>(SizeOf(output)) > size)
            fs::resize_file(fs::path(output), static_cast<uint64_t>(size));
    } catch (...) {
        out.reset(); // closed, so that it can go
        std::error_code ec;
        fs::remove(fs::path(output), ec);
        throw;
    }
}

std::vector<std::string> PackSet(const std::vector<TPackSource>& files, const std::string& output,
                                 const TPackOptions& options) {
    // One archive per stored directory, its template naming that directory below the root.
    std::map<std::string, std::vector<TPackSource>> byDir;
    for (const TPackSource& f : files) byDir[f.StoredDir].push_back(f);
    const std::string root = ExcludeTrailingDelimiter(options.TemplateRoot);

    // The name lists come before every archive in the set, so they are made first; the archives
    // follow one by one, each packed into a spill file and copied into the volumes from there.
    std::vector<builder::TSegSetArchive> archives;
    for (const auto& [dir, group] : byDir) {
        const std::string tmpl = JoinPath(JoinPath(root, dir), "*.*");
        std::vector<std::string> names;
        for (const TPackSource& f : group) names.push_back(f.Name);
        // Names in the order the archive holds them does not matter: the list selects by name.
        archives.push_back(builder::MakeSetArchive(tmpl, names, {}, options.Method));
    }
    const std::vector<uint8_t> head = builder::SegmentSetHead(archives);

    const fs::path out(output);
    const std::string dir = out.has_parent_path() ? out.parent_path().string() : ".";
    builder::TSegVolumeWriter writer(dir, out.stem().string(), options.FixedExt, options.VolumeSize,
                                     options.FirstVolumeSize);
    const auto volumePath = [&](uint16_t number) {
        return JoinPath(writer.VolumeDir(number),
                        SegVolumeFileName(out.stem().string(), options.FixedExt, number));
    };
    RefuseExisting(volumePath(1), options);
    std::string spill;
    try {
        writer.Write(head); // creates the output's directory, where the spill file goes
        spill = SpillPath(dir, out.stem().string());
        uint16_t seq = 0;
        for (const auto& dirFiles : byDir) {
            TToolFile archive(NativePath(spill), TToolFile::TMode::Create);
            const int64_t size = WriteArchive(dirFiles.second, false, options, archive);
            archive.SetPosition(0);
            builder::WriteSetArchive(writer, seq++, archive, size);
        }
        fs::remove(NativePath(spill));
        writer.Finish();
    } catch (...) {
        std::error_code ec;
        if (!spill.empty()) fs::remove(NativePath(spill), ec);
        for (const std::string& path : writer.Paths()) fs::remove(NativePath(path), ec);
        throw;
    }
    // An older set's later volumes would make the new one look longer than it is.
    for (auto number = static_cast<uint32_t>(writer.Paths().size() + 1); number <= UINT16_MAX; ++number) {
        std::error_code ec;
        if (!fs::remove(NativePath(volumePath(static_cast<uint16_t>(number))), ec)) break;
    }
    return writer.Paths();
}

} // namespace yar::tool
