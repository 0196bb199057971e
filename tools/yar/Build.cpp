#include "tools/yar/Build.h"

#include "config/ConfigCheck.h"
#include "config/SetupConfig.h"
#include "system/FileServices.h"
#include "system/MediaDigest.h"
#include "tools/builder/SegmentSetWriter.h"
#include "tools/yar/Distribution.h"
#include "tools/yar/ExitCodes.h"
#include "tools/yar/MediaBinding.h"
#include "tools/yar/Pack.h"
#include "tools/yar/ToolErrors.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <ostream>

#ifndef _WIN32
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace yar::tool {
namespace fs = std::filesystem;

namespace {

const std::string kMainSection = kSetupSections[0];
constexpr const char* kDisksKey = "Install Disks";
// A floppy's space goes in clusters of this size: a file takes whole ones.
constexpr int64_t kCluster = 512;
// The most volumes a set can have: "Install Disks" is never longer than this.
constexpr int32_t kMostDisks = UINT16_MAX;

int64_t OnDisk(int64_t size) {
    return (size + kCluster - 1) / kCluster * kCluster;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    if (!in) throw EToolFileError("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw EToolFileError("cannot write " + path);
}

int64_t SizeOf(const std::string& path) {
    std::error_code ec;
    const auto size = fs::file_size(fs::path(path), ec);
    if (ec) throw EToolFileError("cannot read " + path);
    return static_cast<int64_t>(size);
}

// The lines of text with their endings, numbered as the profile reader numbers them: a carriage
// return and line feed pair ends one line, either alone ends one too.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            end = text.size();
        } else {
            if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
            ++end;
        }
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

std::string LineEnding(const std::string& line) {
    const std::size_t at = line.find_first_of("\r\n");
    return at == std::string::npos ? "\r\n" : line.substr(at);
}

// The output directory, new or empty: a build never mixes with what was there.
void PrepareOutput(const std::string& dir) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(fs::path(dir), ec))) {
        if (!fs::is_directory(fs::symlink_status(fs::path(dir), ec)) || !fs::is_empty(fs::path(dir), ec))
            throw EUsageError("-o", dir + " exists and is not an empty directory");
        return;
    }
    fs::create_directories(fs::path(dir), ec);
    if (ec) throw EToolFileError("cannot create " + dir + ": " + ec.message());
}

// Volume 1's size on disk 1, beside the setup program and its configuration.
int32_t FirstVolumeSize(const TBuildOptions& o, const std::string& configText) {
    const int64_t setup = SizeOf(o.SetupProgram);
    const int64_t taken =
        OnDisk(setup) + OnDisk(static_cast<int64_t>(WithInstallDisks(configText, kMostDisks).size()));
    // The volume takes whole clusters too, so it ends on one.
    const int64_t left = (o.VolumeSize - taken) / kCluster * kCluster;
    if (left < builder::SegMinVolumeSize)
        throw EUsageError("install.exe (" + std::to_string(setup) +
                          " bytes) does not fit on disk 1: beside install.cfg it leaves " +
                          std::to_string(std::max<int64_t>(left, 0)) + " of the disk's " +
                          std::to_string(o.VolumeSize) + " bytes, less than the smallest volume (" +
                          std::to_string(builder::SegMinVolumeSize) + ")");
    return static_cast<int32_t>(left);
}

// Moves each volume into the directory of its disk; returns where each now lies.
std::vector<std::string> SpreadOverDisks(const std::string& outDir, const std::vector<std::string>& volumes) {
    std::vector<std::string> placed;
    for (std::size_t n = 0; n < volumes.size(); ++n) {
        const fs::path disk = fs::path(outDir) / ("disk" + std::to_string(n + 1));
        fs::create_directories(disk);
        const fs::path to = disk / fs::path(volumes[n]).filename();
        fs::rename(fs::path(volumes[n]), to);
        placed.push_back(to.string());
    }
    return placed;
}

// The manifest goes into the copy of install.exe, so that a signature made after it covers the files
// beside the program. What was done, for the summary.
std::string BindToSetup(const std::string& setupCopy, const std::string& configCopy, bool signing) {
    if (!FindManifestBlock(ReadBytes(setupCopy)))
        return "install.exe has no manifest block: the media are not bound to it";
    const auto digest = MediaDigest();
    if (!digest) return "this yar has no SHA-256 service: the media are not bound to install.exe";
    const auto files = MediaFilesOf(configCopy);
    BindMedia(setupCopy, DigestMedia(files, digest));
    return "install.exe carries the SHA-256 of install.cfg and of the " + std::to_string(files.size() - 1) +
           " volumes" + (signing ? "" : ": sign it now (--sign, or tools/sign.sh CERT KEY install.exe)");
}

// Signs the program through the project's signing script (YAR_SIGN_SCRIPT names another), which
// signs in place with osslsigncode. The script's own output goes to the terminal.
void Sign(const TBuildOptions& o, const std::string& program) {
#ifdef _WIN32
    (void)program;
    throw EUsageError("--sign", "signing runs tools/sign.sh with osslsigncode: sign on Linux, or sign " +
                                    o.OutDir + "'s install.exe afterwards");
#else
    const char* configured = std::getenv("YAR_SIGN_SCRIPT");
    const std::string script = configured != nullptr && *configured != '\0' ? configured : YAR_SIGN_SCRIPT;
    std::vector<std::string> args{script, o.SignCert, o.SignKey, program};
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawn(&child, script.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        throw EToolFileError("cannot run " + script);
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR) throw EToolFileError("cannot wait for " + script);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw EToolFileError("signing " + program +
                             " failed: the media are built, the program is not signed");
#endif
}

void PrintSummary(const TBuildOptions& o, const std::vector<std::string>& written, int64_t sourceBytes,
                  int64_t packedBytes, std::size_t files, std::ostream& out) {
    const std::size_t disks = written.size() - 2;
    out << "Built " << o.OutDir << ": " << disks << (disks == 1 ? " volume" : " volumes")
        << (o.Floppy ? " on " + std::to_string(disks) + (disks == 1 ? " floppy disk" : " floppy disks")
                     : std::string())
        << "\n";
    for (const std::string& path : written)
        out << "  " << std::left << std::setw(24)
            << fs::relative(fs::path(path), fs::path(o.OutDir)).generic_string() << std::right
            << std::setw(12) << SizeOf(path) << "\n";
    out << files << (files == 1 ? " file, " : " files, ") << sourceBytes << " bytes, packed into "
        << packedBytes << " bytes";
    if (sourceBytes > 0)
        out << " (" << std::fixed << std::setprecision(1)
            << 100.0 * static_cast<double>(packedBytes) / static_cast<double>(sourceBytes) << "%)";
    out << "\n";
}

} // namespace

std::string WithInstallDisks(const std::string& text, int32_t disks) {
    const auto reader = TProfileReader::FromText(text);
    std::vector<std::string> lines = SplitLines(text);
    const std::string value = std::to_string(disks);
    if (const int line = reader->KeyLine(kMainSection, kDisksKey); line > 0) {
        std::string& target = lines[static_cast<std::size_t>(line - 1)];
        const std::string ending = LineEnding(target);
        target.replace(target.find('=') + 1, std::string::npos, value + ending);
    } else if (const int section = reader->SectionLine(kMainSection); section > 0) {
        const std::string& header = lines[static_cast<std::size_t>(section - 1)];
        const std::string ending = LineEnding(header);
        if (!header.ends_with('\n') && !header.ends_with('\r'))
            lines[static_cast<std::size_t>(section - 1)] += ending;
        lines.insert(lines.begin() + section, std::string(kDisksKey) + "=" + value + ending);
    } else {
        lines.insert(lines.begin(), "[" + kMainSection + "]\r\n" + kDisksKey + "=" + value + "\r\n");
    }
    std::string joined;
    for (const std::string& line : lines) joined += line;
    return joined;
}

int BuildDistribution(const TBuildOptions& o, std::ostream& out) {
    const std::string configText = ReadBytes(o.ConfigPath);
    const auto file = TProfileReader::FromText(configText);
    SetupConfig config;
    LoadSetupConfig(*file, config);
    const std::vector<TPackSource> plan = PlanSet(config, o.SourceDir, o.Uninstaller);
    // The set is made here, so only the sources are facts; "Install Disks" is written below.
    const std::vector<TConfigFinding> findings =
        CheckSetupConfig(*file, SourceFacts(config, o.SourceDir, o.Uninstaller));
    PrintFindings(o.ConfigPath, findings, false, out);
    if (HasError(findings)) {
        out << "yar: " << o.ConfigPath << " has errors: nothing was built\n";
        return YarExitDamaged;
    }
    if (!FileExistsAt(o.SetupProgram))
        throw EToolFileError("no setup program at " + o.SetupProgram + " (name it with --setup)");
    TPackOptions pack;
    pack.Method = o.Method;
    pack.VolumeSize = o.VolumeSize;
    if (o.Floppy) pack.FirstVolumeSize = FirstVolumeSize(o, configText);
    PrepareOutput(o.OutDir);
    std::vector<std::string> volumes = PackSet(plan, (fs::path(o.OutDir) / "disk.001").string(), pack);
    for (std::string& v : volumes) v = NativePath(v);
    const std::string firstDisk = o.Floppy ? (fs::path(o.OutDir) / "disk1").string() : o.OutDir;
    if (o.Floppy) volumes = SpreadOverDisks(o.OutDir, volumes);

    const std::string setupCopy = (fs::path(firstDisk) / kSetupFiles[0]).string();
    const std::string configCopy = (fs::path(firstDisk) / kSetupConfigName).string();
    WriteBytes(configCopy, WithInstallDisks(configText, static_cast<int32_t>(volumes.size())));
    WriteBytes(setupCopy, ReadBytes(o.SetupProgram));
    const std::string binding = BindToSetup(setupCopy, configCopy, !o.SignCert.empty());

    int64_t sourceBytes = 0, packedBytes = 0;
    for (const TPackSource& f : plan) sourceBytes += SizeOf(f.Path);
    for (const std::string& v : volumes) packedBytes += SizeOf(v);
    std::vector<std::string> written{setupCopy, configCopy};
    written.insert(written.end(), volumes.begin(), volumes.end());
    PrintSummary(o, written, sourceBytes, packedBytes, plan.size(), out);
    out << binding << "\n";
    if (!o.SignCert.empty()) {
        out.flush();
        Sign(o, setupCopy);
        out << "install.exe signed\n";
    }
    return YarExitOk;
}

} // namespace yar::tool
