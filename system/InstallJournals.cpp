#include "system/InstallJournals.h"

#include "system/AccessLists.h"
#include "system/FileServices.h"
#include "util/Paths.h"

#include <windows.h>

#include <shlobj.h>

namespace yar {

namespace {

constexpr const char* kRunningMarkName = "running";

// Made with the administrators' list when elevated; one that exists must keep other accounts out.
void EnsureTrustedDirectory(const std::string& dir, bool elevated) {
    if (!DirectoryExistsAt(dir)) {
        if (elevated)
            MakeDirectoryWithAccess(dir, AdministratorsOnlyAccess());
        else
            MakeDirectory(dir);
    }
    if (const std::optional<std::string> reason = OthersMayChange(dir, kChangeRights))
        throw EInOutError(0, dir + " is not safe (" + *reason + "): no install journal is kept there");
}

} // namespace

std::string JournalsDirectory() {
    const bool elevated = RunsElevated();
    std::string base = WindowsDirectory();
    if (!elevated) {
        char local[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, local)))
            throw EInOutError(0, "The user's application data folder cannot be found");
        base = local;
    }
    const std::string product = JoinPath(base, "YAR Setup");
    const std::string journals = JoinPath(product, "Journals");
    EnsureTrustedDirectory(product, elevated);
    EnsureTrustedDirectory(journals, elevated);
    return journals;
}

void RemoveEmptyJournalsDirectory(const std::string& journals) {
    if (RemoveDirectoryAt(journals)) RemoveDirectoryAt(ExtractFileDir(journals));
}

TRunningMark::TRunningMark(const std::string& journalDir) : FPath(JoinPath(journalDir, kRunningMarkName)) {
    FFile = std::make_unique<TFileStream>(FPath, fmCreate | fmShareExclusive);
}

TRunningMark::~TRunningMark() {
    FFile.reset();
    RemoveFileAt(FPath);
}

bool InstallRunning(const std::string& journalDir) {
    const std::string mark = JoinPath(journalDir, kRunningMarkName);
    if (!FileExistsAt(mark)) return false;
    try {
        TFileStream probe(mark, fmOpenReadWrite | fmShareExclusive);
        return false;
    } catch (const EStreamError&) {
        return true;
    }
}

} // namespace yar
