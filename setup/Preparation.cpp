#include "setup/Preparation.h"

#include "config/Texts.h"
#include "setup/DriverRules.h"
#include "setup/MediaCheck.h"
#include "setup/PrepareRules.h"
#include "setup/SetupRun.h"
#include "system/FileServices.h"
#include "system/MediaDigest.h"
#include "system/Streams.h"
#include "toolkit/Dialogs.h"
#include "util/Paths.h"

#include <stdexcept>

namespace yar {

TPreparation::TPreparation(TSetupRun& run, HWND promptOwner)
    : Prompts(promptOwner), SegCompEZ1(&Prompts), FRun(run) {
    // The volumes' names and directories are set by Expand; the properties that only serve building are
    // left as they are.
    SegCompEZ1.SetSegPopUp(false); // the floppy prompts are the preparation's
    SegCompEZ1.SetMakeDirectories(false);
    // A file that cannot be written is a failed preparation: the install would take whatever lay there.
    SegCompEZ1.SetExceptionOnFileError(true);
    SegCompEZ1.SetCheckSpaceBeforeExpand(false);
    SegCompEZ1.SetKey(0);
    // The install gives each file what a copy makes (a new time, the archive bit alone): the entries'
    // dates and attributes would only be overwritten.
    SegCompEZ1.SetKeepEntryProperties(false);
    // Nothing reads the expanded files before the expansion ends: they are written on a second thread
    // while the next ones are decoded.
    SegCompEZ1.SetWriteBehind(true);
    Prompts.SetUnattended(&run.Log(), run.Switches().Unattended());
    SegCompEZ1.OnSegBefore = [this](TSegMode mode, const std::string& name, uint16_t number) {
        SegCompEZ1SegBefore(mode, name, number);
    };
    SegCompEZ1.OnCheckFile = [this](std::string& filepath, TCProcessMode mode) {
        SegCompEZ1CheckFile(filepath, mode);
    };
    SegCompEZ1.OnShowProgress = [this](int32_t& percentage) { SegCompEZ1ShowProgress(percentage); };
}

TPreparation::~TPreparation() = default;

void TPreparation::BindVolumesToManifest() {
    const std::optional<TMediaManifest> manifest = OwnMediaManifest();
    if (!manifest) return;
    // A program that carries a manifest takes only the volumes it lists; any other is a wrong volume.
    // The check may run on a thread of its own: it touches its own copies alone.
    SegCompEZ1.OnSegVerify = [listed = *manifest, digest = MediaDigest()](std::string_view volume,
                                                                          uint16_t number) {
        return VolumeMatches(listed, volume, number, digest);
    };
    SegCompEZ1.OnSegWrongVolume = [this](uint16_t number) {
        Log("Volume " + std::to_string(number) + " does not match the manifest of this install.exe");
    };
}

void TPreparation::Expand() {
    const SetupState& state = FRun.State;
    SegCompEZ1.SetSegBaseName(kVolumeBaseName);
    SegCompEZ1.SetSegDir(state.StartDir);
    SegCompEZ1.SetSegTmpDir(SegmentDirOf(state.WorkDir));
    SegCompEZ1.SetTargetPath(state.WorkDir);
    SegCompEZ1.SegArcList.Clear();
    SegCompEZ1.SegSource().clear();
    try {
        // A directory that cannot be made fails the preparation like any other failure of the expansion.
        if (state.WorkDir.empty()) throw std::runtime_error("No working directory");
        ForceDirectories(state.WorkDir);
        MakeDirectory(SegCompEZ1.SegTmpDir());
        BindVolumesToManifest();
        // Volumes on a drive whose media stay in place are read where they lie; a floppy or a CD is
        // taken out, so each archive is copied into the working directory first.
        SegCompEZ1.SetReadInPlace(DriveKindOf(state.StartDir) == drFixed);
        Log(SegCompEZ1.ReadInPlace() ? "Volumes read in place" : "Volumes copied archive by archive");
        SegCompEZ1.SegExpand();
    } catch (const std::exception& e) {
        // Whatever went wrong, the user learns only that the preparation failed; the run is cancelled.
        // The log keeps what went wrong.
        Log(std::string("Failure: ") + e.what());
        if (!FRun.Switches().Unattended()) ShowMessage(kPrepareErrorText);
        FRun.Wizard().ClearRestart();
        FRun.State.Cancelled = true;
        FRun.State.Failure = rfPrepare;
    }
    ExpansionEnded();
}

void TPreparation::SegCompEZ1SegBefore(TSegMode /*SegMode*/, const std::string& /*SegName*/,
                                       uint16_t SegNumber) {
    ServeWindows();
    FVolumePath = VolumePathFor(FRun.State.StartDir, SegCompEZ1.SegBaseName(), SegNumber);
    Log("Volume: " + FVolumePath);
    // Nobody is there to insert a disk.
    if (FRun.Switches().Unattended() && !FFiles.FileExists(FVolumePath))
        throw std::runtime_error(MissingVolumeText(FVolumePath));
    // After these the segment reader offers its own retry box, and calls here again on each retry.
    for (int shown = 0; shown < kFloppyPromptsPerVolume && !FFiles.FileExists(FVolumePath); ++shown) {
        ShowMessage(FloppyPromptText(SegNumber));
        Log("Message: " + FloppyPromptText(SegNumber) + " - answer: OK");
    }
    if (SegNumber == 1) CopySetupFiles();
    ServeWindows();
}

void TPreparation::CopySetupFiles() {
    GaugeStart(GaugeMaximumFor(FRun.Config.FileEntries.size()));
    ServeWindows();
    // The program running and the configuration it checked and follows, never what the media's names hold
    // by now: whoever owns the media may have put other files there since the run read them.
    WriteSetupFile(kSetupFiles[0], FRun.ProgramBytes());
    // Without an install.cfg read whole there is nothing to install it from: the preparation fails.
    const std::string* config = FRun.ConfigBytes();
    if (!config) throw ECopyFileError("Cannot open file " + FRun.State.StartDir + kSetupConfigName);
    WriteSetupFile(kSetupFiles[1], *config);
}

void TPreparation::WriteSetupFile(const char* name, const std::string& bytes) {
    TFileStream(NativePath(JoinPath(FRun.State.WorkDir, name)), fmCreate | fmShareExclusive)
        .WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    SetupFileCopied();
    ServeWindows();
}

void TPreparation::SegCompEZ1CheckFile(std::string& filepath, TCProcessMode /*mode*/) {
    filepath = ExpandedFileTarget(FRun.State.WorkDir, filepath);
    Log("Expanded: " + filepath);
    FileExpanding();
}

void TPreparation::SegCompEZ1ShowProgress(int32_t& PercentageDone) {
    if (FRun.State.Cancelled) PercentageDone = -1;
}

void TPreparation::Log(const std::string& event) const {
    FRun.Log().Write(event);
}

} // namespace yar
