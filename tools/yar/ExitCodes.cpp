#include "tools/yar/ExitCodes.h"

#include "config/MediaManifest.h"

#include "archive/ArchiveErrors.h"
#include "archive/Segment.h"
#include "system/FileServices.h"
#include "tools/builder/BuildErrors.h"
#include "tools/yar/TerminalPrompts.h"
#include "tools/yar/ToolErrors.h"
#include "tools/yar/YarReader.h"

#include <filesystem>
#include <iostream>

namespace yar::tool {
namespace {

// The segment reader's messages name its class; that is nobody's business outside the program.
int Fail(int code, const char* message) {
    std::string text = message;
    const std::string internal = "(TSegCompress) ";
    if (text.rfind(internal, 0) == 0) text.erase(0, internal.size());
    std::cerr << "yar: " << text << "\n";
    return code;
}

} // namespace

int RunGuarded(const std::function<int()>& command) {
    // The kinds of a base come before it. Anything else is a fault of the tool and is not dressed up.
    try {
        return command();
    } catch (const EUsageError& e) {
        return Fail(YarExitUsage, e.what());
    } catch (const builder::EBuildLimit& e) { // inputs an archive or a set cannot hold
        return Fail(YarExitUsage, e.what());
    } catch (const EManifestError& e) { // more volumes than the manifest block holds, or no one block
        return Fail(YarExitUsage, e.what());
    } catch (const ESegAborted& e) {
        return Fail(YarExitAborted, e.what());
    } catch (const EVolumeUnavailable& e) {
        return Fail(YarExitAborted, e.what());
    } catch (const ESegStreamError& e) {
        return Fail(YarExitFile, e.what());
    } catch (const ESegError& e) { // the set's own records
        return Fail(YarExitDamaged, e.what());
    } catch (const ECompressError& e) { // the container's and the decoders'
        return Fail(YarExitDamaged, e.what());
    } catch (const EListError& e) { // a set whose name list holds no file
        return Fail(YarExitDamaged, e.what());
    } catch (const EExistingOutput& e) {
        return Fail(YarExitLeftAlone, e.what());
    } catch (const EToolFileError& e) {
        return Fail(YarExitFile, e.what());
    } catch (const builder::EVolumeFileError& e) {
        return Fail(YarExitFile, e.what());
    } catch (const EStreamError& e) {
        return Fail(YarExitFile, e.what());
    } catch (const EInOutError& e) {
        return Fail(YarExitFile, e.what());
    } catch (const std::filesystem::filesystem_error& e) {
        return Fail(YarExitFile, e.what());
    }
}

std::string EntryLabel(const TYarReader& reader, const TEntryVerdict& v) {
    const std::string archive = reader.Kind() == TInputKind::SegmentSet ? v.Archive : std::string();
    if (v.Name.empty()) return archive.empty() ? v.Archive : archive;
    return archive.empty() ? v.Name : archive + ": " + v.Name;
}

int ExtractionOutcome(const TYarReader& reader, const std::vector<TEntryVerdict>& damage,
                      const TPlacement& placement, std::ostream& err) {
    for (const TEntryVerdict& d : damage) err << "yar: " << EntryLabel(reader, d) << ": " << d.Error << "\n";
    for (const auto& [path, why] : placement.Failed()) err << "yar: " << path << ": " << why << "\n";
    for (const std::string& path : placement.Refused())
        err << "yar: kept existing " << path << " (use --force to replace it)\n";
    for (const std::string& path : placement.Duplicates())
        err << "yar: skipped " << path << ": an earlier entry of the same name was extracted there\n";
    for (const auto& [path, link] : placement.ThroughLinks())
        err << "yar: skipped " << path << ": " << link
            << " is a symbolic link (use --follow-links to write through it)\n";
    for (const std::string& name : placement.Unsafe())
        err << "yar: skipped " << name << ": no safe name left\n";
    if (!damage.empty()) return YarExitDamaged;
    if (!placement.Failed().empty()) return YarExitFile;
    const bool leftAlone = !placement.Refused().empty() || !placement.Duplicates().empty() ||
                           !placement.ThroughLinks().empty() || !placement.Unsafe().empty();
    return leftAlone ? YarExitLeftAlone : YarExitOk;
}

} // namespace yar::tool
