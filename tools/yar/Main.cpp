// yar: lists, tests, extracts and packs segment sets and single archives.
#include "archive/CompressionMethods.h"
#include "archive/Segment.h"
#include "config/SetupConfig.h"
#include "config/Texts.h"
#include "system/CodePages.h"
#include "system/FileServices.h"
#include "tools/yar/Build.h"
#include "tools/yar/Distribution.h"
#include "tools/yar/ExitCodes.h"
#include "tools/yar/Interrupt.h"
#include "tools/yar/Pack.h"
#include "tools/yar/Progress.h"
#include "tools/yar/SafePath.h"
#include "tools/yar/TerminalPrompts.h"
#include "tools/yar/ToolErrors.h"
#include "tools/yar/YarReader.h"
#include "util/EntryNames.h"
#include "util/Text.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cstdio>
#ifdef _WIN32
#include "system/DllSearch.h"

#include <fcntl.h>
#include <io.h>
#endif
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>

namespace fs = std::filesystem;
using namespace yar;
using namespace yar::tool;

namespace {

constexpr const char* YarVersion = "1.1";

const char* ExitCodeHelp =
    "Exit codes:\n"
    "  0  everything sound and done\n"
    "  1  damaged or locked data: a bad checksum, header or record, or a missing key\n"
    "  2  the command line is wrong, or names entries the input does not hold\n"
    "  3  a file cannot be opened, read, written or created, or is no set or archive\n"
    "  4  a volume could not be found, or a prompt was cancelled\n"
    "  5  existing files were left alone (see --force), or entries were not written: no\n"
    "     safe name left, a directory link on the way, or a name already extracted";

// Common options of the reading commands.
struct TReadOptions {
    std::string Input;
    std::optional<std::string> VolumesDir;
    int32_t Key = 0;
    bool Quiet = false;
    std::string Charset;
};

const char* CharsetHelp =
    "Charset of stored names: cp1252 (the default, converted to UTF-8; on Windows names "
    "are passed as they are), bytes (as stored), or another code page of the system (cp437, cp850, cp932 "
    "...)";

void AddReadOptions(CLI::App& sub, TReadOptions& o, bool withKey) {
    // A missing input is a file problem (exit 3), reported when it is opened.
    sub.add_option("input", o.Input, "First volume of a segment set (disk.001) or a single archive")
        ->required();
    sub.add_option("--volumes", o.VolumesDir, "Directory that holds the further volumes of the set")
        ->check(CLI::ExistingDirectory);
    if (withKey) sub.add_option("--key", o.Key, "Key that opens locked entries");
    sub.add_flag("-q,--quiet", o.Quiet, "No progress bar and no per-entry report");
    sub.add_option("--charset", o.Charset, CharsetHelp);
    sub.footer(ExitCodeHelp);
}

// A private directory (only its owner may enter it) for the archives of a set while they are put
// together; it goes with everything in it however the command ends, an interruption included.
class TScratch {
public:
    TScratch() : Path(MakePrivateTempDir("yar-")) {}
    ~TScratch() {
        std::error_code ec;
        fs::remove_all(Path, ec);
    }
    TScratch(const TScratch&) = delete;
    TScratch& operator=(const TScratch&) = delete;
    std::string Path;
};

// Reader, prompts, progress bar and scratch directory of one reading command.
struct TSession {
    explicit TSession(const TReadOptions& o)
        : Prompts(o.VolumesDir, StdinIsTerminal(), std::cin, std::cerr), Bar(StderrIsTerminal() && !o.Quiet),
          Reader(o.Input, &Prompts, Scratch.Path) {
        Prompts.Attach(Reader);
        Reader.SetKey(o.Key);
        if (!o.Charset.empty()) Reader.NameCharset = ParseCharset(o.Charset);
        Reader.OnProgress = [this](double f, const std::string& label) { Bar.Show(f, label); };
        Prompts.OnPump = [] { ThrowIfStopRequested(); };
    }
    TScratch Scratch;
    TTerminalPrompts Prompts;
    TProgressBar Bar;
    TYarReader Reader;
};

std::string MethodName(uint8_t method) {
    const TMethodRow* row = MethodRow(method);
    return row != nullptr ? row->Id : "#" + std::to_string(method);
}

// The stored local time; ISO 8601 ("T", no zone: the format keeps no zone) for machines.
std::string DateText(uint32_t dos, char separator = ' ') {
    const auto t = DecodeDosDateTime(dos);
    if (!t) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d%c%02d:%02d:%02d", t->Year, t->Month, t->Day, separator,
                  t->Hour, t->Minute, t->Second);
    return text;
}

// Where `yar extract` puts an entry below DIR, "/"-separated: the same field for a set and an archive.
std::string EntryPath(const TArchiveContents& c, const std::string& name) {
    const std::string stored =
        c.InSet && !(!name.empty() && name[0] == '\\') ? SegTemplateDir(c.Label) + name : name;
    return SafeRelativePath(stored);
}

constexpr int JsonSchemaVersion = 2;

std::string AttributeText(uint16_t a) {
    std::string s;
    s += (a & 0x01) ? 'R' : '-';
    s += (a & 0x02) ? 'H' : '-';
    s += (a & 0x04) ? 'S' : '-';
    s += (a & 0x20) ? 'A' : '-';
    return s;
}

int RunList(const TReadOptions& o, bool json) {
    TSession s(o);
    nlohmann::json archives = nlohmann::json::array();
    std::size_t unsafe = 0;
    s.Reader.List([&](const TArchiveContents& c) {
        s.Bar.Clear();
        if (json) {
            nlohmann::json entries = nlohmann::json::array();
            for (const TListedEntry& e : c.Entries) {
                entries.push_back({{"name", e.Name},
                                   {"path", EntryPath(c, e.Name)},
                                   {"size", e.Info.ExpandedSize},
                                   {"packed", e.Info.CompressedSize},
                                   {"method", MethodName(e.Info.Method)},
                                   {"date", DateText(e.Info.FileDate, 'T')},
                                   {"attributes", AttributeText(e.Info.Attributes)},
                                   {"checksum", static_cast<uint32_t>(e.Info.Checksum)},
                                   {"locked", e.Info.Locked}});
                if (const std::string why = UnsafeEntryNameReason(e.Name); !why.empty()) {
                    entries.back()["unsafe"] = why;
                    ++unsafe;
                }
            }
            nlohmann::json a = {{"label", c.Label}, {"entries", entries}};
            if (c.InSet) {
                a["index"] = c.Index;
                a["template"] = c.Label;
                a["names"] = c.Names;
            }
            archives.push_back(a);
            return;
        }
        std::cout << (c.InSet ? "Archive " + std::to_string(c.Index) + ": " : std::string("Archive: "))
                  << c.Label << "\n";
        std::cout << "      Size     Packed Method Date                Attr Lock Name\n";
        for (const TListedEntry& e : c.Entries)
            std::cout << std::setw(10) << e.Info.ExpandedSize << ' ' << std::setw(10) << e.Info.CompressedSize
                      << ' ' << std::left << std::setw(6) << MethodName(e.Info.Method) << ' ' << std::setw(19)
                      << DateText(e.Info.FileDate) << ' ' << AttributeText(e.Info.Attributes) << ' '
                      << std::setw(4) << (e.Info.Locked ? "yes" : "no") << std::right << ' ' << e.Name
                      << "\n";
        // Named after the table, so that its columns stay as they are for scripts.
        for (const TListedEntry& e : c.Entries)
            if (const std::string why = UnsafeEntryNameReason(e.Name); !why.empty()) {
                std::cout << "UNSAFE " << e.Name << ": " << why << "\n";
                ++unsafe;
            }
    });
    s.Bar.Clear();
    if (json) {
        const nlohmann::json doc = {
            {"schema", JsonSchemaVersion},
            {"kind", s.Reader.Kind() == TInputKind::SegmentSet ? "segment-set" : "archive"},
            {"archives", archives}};
        // Stored names are 8-bit text of the building machine, not necessarily UTF-8.
        std::cout << doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    }
    return unsafe == 0 ? YarExitOk : YarExitDamaged;
}

int RunTest(const TReadOptions& o, bool json) {
    TSession s(o);
    std::size_t entries = 0, damaged = 0;
    nlohmann::json verdicts = nlohmann::json::array();
    s.Reader.Test([&](const TEntryVerdict& v) {
        if (!v.Name.empty()) ++entries;
        if (json) {
            if (!v.Error.empty()) ++damaged;
            nlohmann::json j = {{"archive", v.Archive}, {"name", v.Name}, {"ok", v.Error.empty()}};
            if (!v.Error.empty()) j["error"] = v.Error;
            if (!v.Note.empty()) j["note"] = v.Note;
            verdicts.push_back(j);
            return;
        }
        const std::string what = EntryLabel(s.Reader, v);
        if (!v.Error.empty()) {
            ++damaged;
            s.Bar.Clear();
            std::cout << "FAILED " << what << ": " << v.Error << "\n";
        } else if (!o.Quiet) {
            s.Bar.Clear();
            std::cout << "OK     " << what << (v.Note.empty() ? "" : " (" + v.Note + ")") << "\n";
        }
    });
    s.Bar.Clear();
    if (json) {
        const nlohmann::json doc = {{"schema", JsonSchemaVersion},
                                    {"entries", entries},
                                    {"failures", damaged},
                                    {"verdicts", verdicts}};
        std::cout << doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    } else if (!o.Quiet || damaged > 0)
        std::cout << entries << " entries tested, " << damaged << (damaged == 1 ? " failure" : " failures")
                  << "\n";
    return damaged == 0 ? YarExitOk : YarExitDamaged;
}

// -O: the chosen entries' bytes one after the other on standard output, as they expand.
class TStdoutSink : public TEntrySink {
    class TOut : public TNullStream {
    public:
        int32_t Write(const void* buffer, int32_t count) override {
            if (count > 0 && std::fwrite(buffer, 1, static_cast<std::size_t>(count), stdout) !=
                                 static_cast<std::size_t>(count))
                throw EToolFileError("cannot write to standard output");
            return TNullStream::Write(buffer, count);
        }
    };

public:
    TStdoutSink() {
#ifdef _WIN32
        _setmode(_fileno(stdout), _O_BINARY);
#endif
    }
    TStream* Open(const std::string& StoredPath, const TEntryHeader&) override {
        FCurrent = StoredPath;
        FOut = std::make_unique<TOut>();
        return FOut.get();
    }
    void Finish(const TEntryHeader&) override {
        std::fflush(stdout);
    }
    void Fail() override {
        std::fflush(stdout);
    } // what is out cannot be taken back: the exit code tells
    std::string Current() const override {
        return FCurrent;
    }

private:
    std::unique_ptr<TOut> FOut;
    std::string FCurrent;
};

// Entries chosen by name or pattern ("*" and "?", letter case ignored) against the path below DIR,
// or against the file name alone for a pattern without a directory.
class TChoice {
public:
    explicit TChoice(std::vector<std::string> patterns)
        : FPatterns(std::move(patterns)), FUsed(FPatterns.size()) {}
    TEntrySelector Selector() {
        if (FPatterns.empty()) return {};
        return [this](const std::string& stored) {
            bool any = false;
            for (std::size_t i = 0; i < FPatterns.size(); ++i)
                if (MatchesEntryPattern(FPatterns[i], stored)) any = FUsed[i] = true;
            return any;
        };
    }
    void RefuseUnmatched() const {
        for (std::size_t i = 0; i < FPatterns.size(); ++i)
            if (!FUsed[i]) throw EUsageError("no entry matches " + FPatterns[i]);
    }

private:
    std::vector<std::string> FPatterns;
    std::vector<bool> FUsed;
};

int RunExtract(const TReadOptions& o, const std::string& dir, bool force, bool followLinks, bool toStdout,
               const std::vector<std::string>& patterns) {
    if (dir.empty() && !toStdout)
        throw EUsageError("--dir", "the directory to extract into (or -O for standard output)");
    TSession s(o);
    TChoice choice(patterns);
    if (toStdout) {
        TStdoutSink sink;
        const std::vector<TEntryVerdict> damage = s.Reader.Extract(sink, choice.Selector());
        s.Bar.Clear();
        choice.RefuseUnmatched();
        for (const TEntryVerdict& d : damage)
            std::cerr << "yar: " << EntryLabel(s.Reader, d) << ": " << d.Error << "\n";
        return damage.empty() ? YarExitOk : YarExitDamaged;
    }
    TPlacement placement(dir, force);
    placement.FollowLinks = followLinks;
    placement.OnPlaced = [&](const std::string& path) {
        if (o.Quiet) return;
        s.Bar.Clear();
        std::cout << path << "\n";
    };
    const std::vector<TEntryVerdict> damage = s.Reader.Extract(placement, choice.Selector());
    s.Bar.Clear();
    const int code = ExtractionOutcome(s.Reader, damage, placement, std::cerr);
    choice.RefuseUnmatched();
    return code;
}

uint8_t ParseMethod(const std::string& text) {
    if (text == "stored") return coNone; // the other name of storing
    if (const auto method = MethodOfToolName(text)) return *method;
    // Newest first: the default leads.
    std::string names;
    for (auto row = CompressionMethods().rbegin(); row != CompressionMethods().rend(); ++row)
        if (row->ToolName != nullptr) names += (names.empty() ? "" : ", ") + std::string(row->ToolName);
    throw EUsageError("--method", "one of " + names);
}

int32_t ParseSize(const std::string& text) {
    if (text == "floppy") return builder::SegFloppySize;
    std::size_t used = 0;
    long long value = 0;
    try {
        value = std::stoll(text, &used);
    } catch (const std::exception&) {
        throw EUsageError("--volume-size", "a number of bytes, with k or m, or floppy");
    }
    const std::string unit = text.substr(used);
    if (unit == "k" || unit == "K")
        value *= 1024;
    else if (unit == "m" || unit == "M")
        value *= 1024LL * 1024;
    else if (!unit.empty())
        throw EUsageError("--volume-size", "a number of bytes, with k or m, or floppy");
    if (value < builder::SegMinVolumeSize || value > INT32_MAX)
        throw EUsageError("--volume-size", "from 16384 bytes to 2 GB");
    return static_cast<int32_t>(value);
}

bool IsNumberedVolume(const std::string& output) {
    const std::string ext = fs::path(output).extension().string();
    return ext.size() > 1 && ext.find_first_not_of("0123456789", 1) == std::string::npos;
}

// The uninstaller goes into the set under the one name the setup registers.
std::string UninstallerSource(const std::string& path) {
    if (!SameText(fs::path(path).filename().string(), kUninstallerName))
        throw EUsageError("--uninstaller",
                          std::string("the uninstaller is packed as ") + kUninstallerName + ", not " + path);
    if (!fs::is_regular_file(path)) throw EUsageError("--uninstaller", "no such file: " + path);
    return path;
}

int RunPack(const std::string& output, const std::vector<std::string>& sources, const std::string& method,
            const std::string& volumeSize, const std::string& fixedExt, const std::string& templateRoot,
            int32_t key, bool quiet, bool force, const std::string& charset) {
    TPackOptions options;
    options.Overwrite = force;
    options.Method = ParseMethod(method);
    options.VolumeSize = ParseSize(volumeSize);
    options.FixedExt = fixedExt.substr(0, 3);
    options.TemplateRoot = templateRoot;
    options.Key = key;
    const bool set = IsNumberedVolume(output) || !fixedExt.empty();
    if (IsNumberedVolume(output) && fs::path(output).extension() != ".001")
        throw EUsageError("output", "a numbered set starts with volume .001");
    const auto files = CollectSources(sources, charset.empty() ? NativeNameCharset : ParseCharset(charset));
    TProgressBar bar(StderrIsTerminal() && !quiet);
    std::size_t done = 0;
    options.OnFile = [&](const std::string& name) {
        bar.Show(static_cast<double>(done++) / static_cast<double>(std::max<std::size_t>(files.size(), 1)),
                 name);
    };
    std::vector<std::string> written;
    if (set) {
        written = PackSet(files, output, options);
    } else {
        PackArchive(files, output, options);
        written = {output};
    }
    bar.Clear();
    if (!quiet) {
        std::cout << files.size() << " files packed into " << written.size()
                  << (written.size() == 1 ? " file" : " files") << ":\n";
        for (const std::string& w : written) std::cout << "  " << NativePath(w) << "\n";
    }
    return YarExitOk;
}

int RunCheck(const std::string& config, const std::optional<std::string>& source,
             const std::string& uninstaller, bool json) {
    if (!FileExistsAt(config)) throw EToolFileError("cannot read " + config);
    const TProfileReader file(config);
    const std::vector<TConfigFinding> findings =
        CheckSetupConfig(file, GatherFacts(config, source, uninstaller));
    PrintFindings(config, findings, json, std::cout);
    bool error = HasError(findings);
    // The language files a build packs: those of the sources, else those beside install.cfg.
    const fs::path parent = fs::path(config).parent_path();
    const std::string languageDir = source ? *source : parent.empty() ? "." : parent.string();
    for (const std::string& name : LanguageFilesIn(languageDir)) {
        const std::string path = (fs::path(languageDir) / name).string();
        const auto languageFindings =
            CheckLanguageFile(TProfileReader(path), [](const std::string& text, int codePage) {
                return ConvertCodePage(text, codePage, kProgramText).has_value();
            });
        PrintFindings(path, languageFindings, json, std::cout);
        error = error || HasError(languageFindings);
    }
    const bool bound = CheckMediaBinding(config, json, std::cout);
    return error || !bound ? YarExitDamaged : YarExitOk;
}

int RunTexts(const std::string& output) {
    std::ofstream file(output, std::ios::binary | std::ios::trunc);
    file << EnglishLanguageFile();
    if (!file.flush()) throw EToolFileError("cannot write " + output);
    return YarExitOk;
}

} // namespace

// Failures the tool knows become exit codes in RunGuarded; anything else is a fault of the tool, and
// ending in the runtime's terminate handler with its message is the honest report of it.
int main(int argc, char** argv) { // NOLINT(bugprone-exception-escape)
#ifdef _WIN32
    yar::RestrictDllSearch();
#endif
    CLI::App app{"yar: lists, tests, extracts and packs segment sets (disk.001, disk.002, ...) and archives"};
    app.require_subcommand(1);
    app.footer(ExitCodeHelp);
    app.set_version_flag("--version", std::string("yar ") + YarVersion);

    TReadOptions listOpt, testOpt, extractOpt;
    bool json = false, force = false, packQuiet = false;
    std::string dir;
    auto* list = app.add_subcommand("list", "The archives of a set and their entries")->alias("l");
    AddReadOptions(*list, listOpt, false);
    list->add_flag("--json", json, "Machine-readable output");
    auto* test =
        app.add_subcommand("test", "Expand everything into nothing and verify every checksum")->alias("t");
    AddReadOptions(*test, testOpt, true);
    bool testJson = false;
    test->add_flag("--json", testJson, "Machine-readable verdicts");
    auto* extract =
        app.add_subcommand("extract", "Extract every file (or the entries named) below a directory")
            ->alias("x");
    AddReadOptions(*extract, extractOpt, true);
    std::vector<std::string> patterns;
    extract->add_option("entries", patterns, "Entries to extract, by path below DIR or name; * and ? match");
    extract->add_option("-d,--dir", dir, "Directory to extract into");
    bool toStdout = false;
    extract->add_flag("-O,--stdout", toStdout, "Write the entries to standard output instead");
    extract->add_flag("--force", force, "Replace existing files");
    bool followLinks = false;
    extract->add_flag("--follow-links", followLinks,
                      "Write through directories below DIR that are symbolic links (refused otherwise)");

    std::string output, method = "lh5", volumeSize = "floppy", fixedExt, templateRoot, uninstaller;
    std::vector<std::string> sources;
    int32_t packKey = 0;
    auto* pack =
        app.add_subcommand("pack", "Pack files or directories into an archive or a segment set")->alias("a");
    bool packForce = false;
    std::string packCharset;
    pack->add_option("--charset", packCharset, CharsetHelp);
    pack->add_flag("--force", packForce,
                   "Replace an existing archive or set (and the old set's later volumes)");
    pack->add_option(
            "output", output,
            "disk.001 for a set of numbered volumes; with --ext the set's base name; else an archive")
        ->required();
    pack->add_option("sources", sources, "Files and directories to pack")->required();
    pack->add_option("-m,--method", method, "lh5 (default), lh7, lzh, rle or none");
    pack->add_option("--volume-size", volumeSize,
                     "Bytes per volume (k, m suffixes), default floppy = 1440000");
    pack->add_option("--ext", fixedExt,
                     "One extension for every volume (each volume in its own diskN directory)");
    pack->add_option("--template-root", templateRoot,
                     "Directory the set's templates start from, e.g. c:\\app");
    pack->add_option("--key", packKey, "Lock every entry with this key");
    pack->add_option("--uninstaller", uninstaller,
                     "Pack this uninstaller.exe too; install.cfg lists it in [Files] as "
                     "uninstaller.exe~<INSTALLDIR> so that the setup installs and registers it");
    pack->add_flag("-q,--quiet", packQuiet, "No progress bar and no summary");
    pack->footer(ExitCodeHelp);

    std::string checkConfig, checkUninstaller;
    std::optional<std::string> checkSource;
    bool checkJson = false;
    auto* check = app.add_subcommand("check", "Check install.cfg line by line, read as the setup reads it");
    check->add_option("config", checkConfig, "The install.cfg to check")->required();
    check->add_option("--source", checkSource,
                      "Directory the [Files] and [WorkStation] sources are read from");
    check->add_option("--uninstaller", checkUninstaller, "The uninstaller.exe a build would pack");
    check->add_flag("--json", checkJson, "One JSON object per finding and line");
    check->footer("Findings read install.cfg:LINE: error|warning: text; exit code 1 when there is an error.");

    std::string textsOutput;
    auto* texts = app.add_subcommand("texts", "Write the English language file every translation follows");
    texts->add_option("-o,--output", textsOutput, "The file to write (config/languages/lang-en.ini)")
        ->required();

    TBuildOptions buildOptions;
    // lh7 by default: the media of a distribution are read by the install.exe shipped beside them, which
    // expands lh7, and they come out about 8% smaller than with lh5 (no larger than NSIS's default).
    std::string buildVolumeSize = "floppy", buildMethod = "lh7";
    auto* build =
        app.add_subcommand("build", "Make the whole distribution from install.cfg and a source tree");
    build->add_option("config", buildOptions.ConfigPath, "The distribution's install.cfg")->required();
    build->add_option("--source", buildOptions.SourceDir, "Directory the sources are read from")->required();
    build->add_option("-o,--output", buildOptions.OutDir, "New or empty directory for the distribution")
        ->required();
    build->add_option("--volume-size", buildVolumeSize,
                      "floppy (default: one directory per 1.44 MB disk) or bytes per volume (k, m suffixes)");
    build->add_option("-m,--method", buildMethod, "lh7 (default), lh5, lzh, rle or none");
    build->add_option("--uninstaller", buildOptions.Uninstaller, "The uninstaller.exe to pack");
    build->add_option("--setup", buildOptions.SetupProgram,
                      "The install.exe to ship (default: the one beside yar)");
    std::vector<std::string> sign;
    build
        ->add_option("--sign", sign,
                     "CERT KEY: sign the bound install.exe with tools/sign.sh as the last step")
        ->expected(2);
    build->footer(ExitCodeHelp);

    // A typo of a command is named as such, not as an argument nobody expected.
    if (argc > 1 && argv[1][0] != '-') {
        const std::string command = argv[1];
        const auto subs = app.get_subcommands([&](CLI::App* sub) { return sub->check_name(command); });
        if (subs.empty()) {
            std::cerr << "yar: unknown command \"" << command
                      << "\" (list, test, extract, pack, check, build, texts; yar --help)\n";
            return YarExitUsage;
        }
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? YarExitOk : YarExitUsage;
    }
    InstallStopHandlers();
    try {
        return RunGuarded([&] {
            if (*list) return RunList(listOpt, json);
            if (*test) return RunTest(testOpt, testJson);
            if (*extract) return RunExtract(extractOpt, dir, force, followLinks, toStdout, patterns);
            if (*texts) return RunTexts(textsOutput);
            if (*check) return RunCheck(checkConfig, checkSource, checkUninstaller, checkJson);
            if (*build) {
                buildOptions.Floppy = buildVolumeSize == "floppy";
                buildOptions.VolumeSize = ParseSize(buildVolumeSize);
                buildOptions.Method = ParseMethod(buildMethod);
                if (!buildOptions.Uninstaller.empty()) UninstallerSource(buildOptions.Uninstaller);
                if (buildOptions.SetupProgram.empty())
                    buildOptions.SetupProgram = (fs::path(argv[0]).parent_path() / kSetupFiles[0]).string();
                if (sign.size() == 2) {
                    buildOptions.SignCert = sign[0];
                    buildOptions.SignKey = sign[1];
                }
                return BuildDistribution(buildOptions, std::cout);
            }
            if (!uninstaller.empty()) sources.push_back(UninstallerSource(uninstaller));
            return RunPack(output, sources, method, volumeSize, fixedExt, templateRoot, packKey, packQuiet,
                           packForce, packCharset);
        });
    } catch (const EInterrupted&) {
        // Everything the run had begun is gone by now; the shell learns of the signal.
        EndByStopSignal();
    }
}
