#include "engine/InstallEngine.h"

#include "config/Texts.h"

#include <algorithm>
#include <iterator>

#include "config/ConfigRules.h"
#include "engine/SystemUpdates.h"
#include "system/AccessLists.h"
#include "system/FileServices.h"
#include "system/Streams.h"
#include "util/Paths.h"
#include "util/Text.h"

namespace yar {

namespace {

// Whether list has a ticked item of exactly that text.
bool Ticked(const std::vector<TCheckItem>& list, const std::string& name) {
    return std::ranges::any_of(list,
                               [&](const TCheckItem& item) { return item.Checked && item.Caption == name; });
}

} // namespace

std::string UnsafeDestinationQuestion(const std::string& dir, const std::string& reason) {
    return "The destination " + dir + " is not safe: " + reason +
           ". Other users could replace the programs installed there before they run.\r\rInstall there "
           "anyway?";
}

std::string UnsafeDestinationStop(const std::string& dir, const std::string& reason) {
    return "The destination " + dir + " is not safe: " + reason +
           ". Nothing was installed. Choose another directory.";
}

std::string RolledBackMessage(const std::vector<std::string>& left) {
    if (left.empty()) return "The installation was undone: nothing on this computer was changed.";
    std::string text = "The installation was undone, except:";
    for (const std::string& line : left) text += "\r- " + line;
    return text;
}

bool FileNeededElsewhere(const std::string& name, std::size_t index, const std::vector<std::string>& files) {
    std::vector<std::string> upperFiles;
    std::ranges::transform(files, std::back_inserter(upperFiles), UpperCase);
    return FileNeededElsewhereUpper(name, index, upperFiles);
}

bool FileNeededElsewhereUpper(const std::string& name, std::size_t index,
                              const std::vector<std::string>& upperFiles) {
    const std::string upperName = UpperCase(name);
    for (std::size_t i = 0; i < upperFiles.size(); ++i)
        if (i != index && Contains(upperFiles[i], upperName)) return true;
    return false;
}

bool LaunchWanted(const std::string& Launch, bool LaunchChecked) {
    const std::string upper = UpperCase(Launch);
    return LaunchChecked || Contains(upper, "SETUP.") || Contains(upper, "INSTALL.");
}

TLaunchCall LaunchCallOf(const std::string& Launch) {
    std::string rest = Launch;
    const std::string program = TakeField(rest, kLaunchSeparator);
    std::string parameters = TakeField(rest, kLaunchSeparator);
    return {ExtractFileName(program), std::move(parameters), ExtractFilePath(program)};
}

TInstallEngine::TInstallEngine(const SetupConfig& config, SetupState& state, const TInstallSystem& system,
                               TInstallProgress& progress, TRunLog* log)
    : Config_(config), State_(state),
      FJournal(system.JournalDir.empty()
                   ? nullptr
                   : std::make_unique<TInstallJournal>(system.Files, system.Registry, system.JournalDir)),
      FFiles(system.Files, FJournal.get(), state.WorkDir), FIni(system.Ini, FFiles),
      FRegistry(system.Registry, FJournal.get()),
      FLinks(system.Links, FFiles), System_{FFiles, FIni, FRegistry, FLinks, system.Launcher},
      Progress_(progress), Shortcuts_(FFiles, FRegistry, FLinks), Log_(log), Launch_(config.Launch) {}

TInstallOutcome TInstallEngine::RunInstall(const TInstallChoices& choices) {
    try {
        return Install(choices);
    } catch (const EInstallError& error) {
        return Stop(error);
    } catch (const ECopyFileError& error) {
        return Stop(error);
    } catch (const EStreamError& error) {
        return Stop(error);
    } catch (const EJournalError& error) {
        return Stop(error);
    }
}

TInstallOutcome TInstallEngine::Stop(const std::exception& error) {
    State_.Cancelled = true;
    Progress_.Stopped(error.what());
    // Without a journal the record is all that tells what the install did; with one, it goes back to
    // what it was with everything else. The stop already reports what went wrong: a record that cannot
    // be written as well goes to the log.
    try {
        FlushRecord();
    } catch (const EInstallError& e) {
        Log(e.what());
    } catch (const EJournalError& e) {
        Log(e.what());
    }
    RollBack();
    return ioStopped;
}

void TInstallEngine::RollBack() {
    if (!FJournal) return;
    // A stop before the first change has nothing to tell.
    const bool changed = !FJournal->Empty();
    const std::vector<std::string> left = FJournal->RollBack();
    if (!changed) return;
    for (const std::string& line : left) Log("Not undone: " + line);
    Log(left.empty() ? "Undone: the install changed nothing" : "Undone: all but what is listed");
    Progress_.RolledBack(left);
}

TInstallOutcome TInstallEngine::Install(const TInstallChoices& choices) {
    // Without an installation directory nothing could be recorded: refused before anything is
    // written.
    if (!HasInstallDirRow(Config_.DirectoryEntries)) throw EInstallError(kNoInstallDirMessage);
    const SetupConfig& c = Config_;
    Progress_.SetProgressRange(static_cast<int>(c.FileEntries.size() + c.DesktopEntries.size() +
                                                c.IniSetupEntries.size() + c.WorkStationEntries.size()));
    Status("Preparing Directory Structure");
    // A run killed from here on leaves its working directory to the journal's undoing.
    if (FJournal && !State_.WorkDir.empty()) FJournal->RunDirectory(State_.WorkDir);
    WindowsDir_ = System_.Files.WindowsDirectory();
    TargetDir_ = choices.MainDir;
    CheckDestination();
    if (!PrepareDirectories()) {
        RollBack();
        State_.Cancelled = true;
        Progress_.EndProgram("Unable to Create " + TargetDir_);
        return ioTargetMissing;
    }
    FlushRecord();
    const std::vector<std::string>& files = choices.MinInstall ? c.WorkStationEntries : c.FileEntries;
    CopySetupProgram();
    CopyFiles(files);
    FlushRecord();
    CreateShortcutsStep(choices);
    FlushRecord();
    if (!c.IniSetupEntries.empty()) IniAndRegistryStep();
    if (!c.AutoexecLines.empty()) AutoexecStep();
    FlushRecord();
    Status("Creating Uninstall Information");
    if (Wrote(JoinPath(TargetDir_, kUninstallerName)) &&
        RegisterUninstaller(
            System_.Files, System_.Registry,
            {TargetDir_, c.Header, LaunchedProgram(), c.Version, c.Publisher, InstalledBytes_}))
        Log("Uninstall entry: " + UninstallKey(c.Header));
    // Complete: nothing is undone from here on.
    if (FJournal) FJournal->Finish();
    LaunchProgram(choices.LaunchChecked);
    Progress_.ProcessMessages();
    Progress_.Finish();
    return ioInstalled;
}

void TInstallEngine::FlushRecord() {
    if (Record_) Record_->Flush();
}

void TInstallEngine::Status(const std::string& text) {
    Progress_.ShowStatus(text);
    Progress_.ProcessMessages();
}

void TInstallEngine::Destination(const std::string& text) {
    Progress_.ShowDestination(text);
    Progress_.ProcessMessages();
}

void TInstallEngine::Step() {
    Progress_.StepProgress();
    Progress_.ProcessMessages();
}

void TInstallEngine::Log(const std::string& event) const {
    if (Log_ != nullptr) Log_->Write(event);
}

void TInstallEngine::Installed(const std::string& source, const std::string& target) {
    FWritten.insert(target);
    const int64_t bytes = System_.Files.FileSize(target).value_or(0);
    InstalledBytes_ += static_cast<uint64_t>(bytes);
    Log("Installed: " + source + " -> " + target + " (" + std::to_string(bytes) + " bytes)");
}

void TInstallEngine::LogRegistryValue(const TIniEntry& entry) const {
    // The key as written: entries only ever go below these two roots.
    const TRegistryTarget target = RegistryTargetOf(entry);
    Log("Registry value: " + RootName(target.Root) + target.Key + " " + entry.Name + "=" + entry.Value);
}

std::string TInstallEngine::LaunchedProgram() const {
    if (Launch_.empty()) return {};
    const TLaunchCall call = LaunchCallOf(Launch_);
    return Wrote(call.Directory + call.File) ? call.Directory + call.File : std::string();
}

bool TInstallEngine::Wrote(const std::string& path) const {
    return FWritten.contains(path);
}

void TInstallEngine::CheckDestination() {
    // A row of another kind (<ALT1>~Games, <WINDOWS>~Acme) receives files as the installation directory
    // does, and is judged by the same rule.
    std::vector<std::string> accepted;
    CheckDirectory(TargetDir_, accepted);
    const TDirectoryBases bases{WindowsDir_, State_.RootDir, TargetDir_};
    for (const std::string& value : Config_.DirectoryEntries)
        CheckDirectory(ResolvePath(ParseDirectoryRow(value), bases), accepted);
}

void TInstallEngine::CheckDirectory(const std::string& target, std::vector<std::string>& accepted) {
    const std::optional<TUnsafeLevel> unsafe = UnsafeDirectoryLevel(System_.Files, target, false);
    if (!unsafe ||
        std::ranges::any_of(accepted, [&](const std::string& a) { return SameText(a, unsafe->Dir); }))
        return;
    Log("Destination: " + unsafe->Dir + " is not safe: " + unsafe->Reason);
    if (!Progress_.ConfirmRisk(UnsafeDestinationQuestion(unsafe->Dir, unsafe->Reason)))
        throw EInstallError(UnsafeDestinationStop(unsafe->Dir, unsafe->Reason));
    accepted.push_back(unsafe->Dir);
}

void TInstallEngine::MakeDirectories(const std::string& dir) {
    if (InProtectedFolder(dir, {WindowsDir_, State_.RootDir, TargetDir_}))
        System_.Files.ForceDirectories(dir);
    else
        System_.Files.ForceDirectoriesWithAccess(dir, ProgramFolderAccess());
}

bool TInstallEngine::PrepareDirectories() {
    const TDirectoryBases bases{WindowsDir_, State_.RootDir, TargetDir_};
    bool launchRewritten = false;
    for (const std::string& value : Config_.DirectoryEntries) {
        const TDirectoryRow row = ParseDirectoryRow(value);
        const std::string path = ResolvePath(row, bases);
        if (row.Kind == dkFixed && row.Base == dbInstallDir) {
            if (!CreateTargetDir()) return false;
            Record_.emplace(System_.Ini, TargetDir_);
            Record_->Open(Config_.Header, State_.Language);
            RecordMadeDirectories(MadeDirectories_);
        }
        const std::string tag = UpperCase(row.Tag);
        Directories_.push_back({tag, path});
        try {
            ForceDirectories(path);
            Log("Directory: " + path);
        } catch (const EInOutError& e) {
            // Copies into it fail later, and are skipped as well.
            Log("Directory not made: " + path + " - " + e.what());
        }
        // Once rewritten, Launch holds a path and no tag.
        if (!launchRewritten) launchRewritten = RewriteLaunch(Launch_, tag, path);
    }
    return true;
}

bool TInstallEngine::CreateTargetDir() {
    if (TargetDir_.empty()) return false;
    try {
        ForceDirectories(TargetDir_);
    } catch (const EInOutError&) {
        return false;
    }
    return System_.Files.DirectoryExists(TargetDir_);
}

void TInstallEngine::ForceDirectories(const std::string& dir) {
    std::vector<std::string> missing = MissingDirectoryLevels(System_.Files, dir);
    std::ranges::reverse(missing);
    const auto keepMade = [&] {
        std::erase_if(missing,
                      [&](const std::string& level) { return !System_.Files.DirectoryExists(level); });
        MadeDirectories_.insert(MadeDirectories_.end(), missing.begin(), missing.end());
        RecordMadeDirectories(missing);
    };
    try {
        MakeDirectories(dir);
    } catch (const EInOutError&) {
        keepMade();
        throw;
    }
    keepMade();
}

void TInstallEngine::RecordMadeDirectories(const std::vector<std::string>& dirs) {
    if (Record_)
        for (const std::string& dir : dirs) Record_->AddMadeDirectory(dir);
}

void TInstallEngine::CopySetupProgram() {
    for (const char* name : kSetupFiles) {
        const std::string source = JoinPath(State_.WorkDir, name);
        System_.Files.CopyFileInto(source, TargetDir_);
        Installed(source, JoinPath(TargetDir_, name));
    }
}

void TInstallEngine::CopyFiles(const std::vector<std::string>& files) {
    std::vector<std::string> upperFiles;
    std::ranges::transform(files, std::back_inserter(upperFiles), UpperCase);
    for (const TResolvedDirectory& row : Directories_) {
        Status("Ready to Install");
        for (std::size_t i = 0; i < files.size(); ++i) {
            const TFileEntry entry = ParseFileEntry(files[i]);
            if (SameTag(entry.Tag, row.Tag)) CopyFile(entry, i, upperFiles, row.Path);
        }
    }
}

void TInstallEngine::CopyFile(const TFileEntry& entry, std::size_t index,
                              const std::vector<std::string>& upperFiles, const std::string& dir) {
    Step();
    Status(entry.Name);
    Destination(dir);
    const std::string target = JoinPath(dir, entry.Name);
    const bool replace = !entry.AskBeforeReplacing() || !System_.Files.FileExists(target) ||
                         Progress_.ConfirmOverwrite(Tr(txOverwriteQuestion, {entry.Name}));
    if (replace) {
        const std::string workingCopy = JoinPath(State_.WorkDir, entry.Name);
        const bool neededElsewhere = FileNeededElsewhereUpper(entry.Name, index, upperFiles);
        // The working copy no other entry needs is moved where a rename can: its bytes are not written
        // again. Anything else (another volume, a file already there) takes the copy.
        if (neededElsewhere || !MoveInto(workingCopy, dir, target)) {
            // A file left out is not the install's: the uninstall must not take whatever lies there.
            if (!CopyOrAsk(workingCopy, dir, target)) return;
            // The working copy goes unless another entry still needs it; the clean-up at the end of the
            // run takes what is left.
            if (!neededElsewhere) System_.Files.RemoveFile(workingCopy);
        }
    } else {
        Log("Skipped: " + target + " - the existing file is kept");
    }
    Record_->AddFile(target);
}

bool TInstallEngine::MoveInto(const std::string& source, const std::string& dir, const std::string& target) {
    // Only where the copy would have put it: into dir under the source's name.
    if (!SameText(JoinPath(dir, ExtractFileName(source)), target) ||
        !System_.Files.MoveNewFile(source, target))
        return false;
    Installed(source, target);
    return true;
}

bool TInstallEngine::CopyOrAsk(const std::string& source, const std::string& dir, const std::string& target) {
    for (;;) {
        std::string reason;
        try {
            try {
                System_.Files.CopyFileInto(source, dir);
                Installed(source, target);
            } catch (const EFileInUse&) {
                ReplaceWhenRestarted(source, target);
            }
            return true;
        } catch (const ECopyFileError& e) {
            reason = e.what();
        } catch (const EStreamError& e) {
            reason = e.what();
        }
        const std::string message =
            std::string("The file ").append(target).append(" cannot be installed: ").append(reason);
        switch (Progress_.AskFileError(message)) {
        case feRetry:
            Log(std::string("Retried: ").append(target).append(" - ").append(reason));
            continue;
        case feIgnore:
            Log(std::string("Left out: ").append(target).append(" - ").append(reason));
            ++State_.FilesLeftOut;
            return false;
        case feAbort:
            break;
        }
        throw EInstallError(message);
    }
}

void TInstallEngine::ReplaceWhenRestarted(const std::string& source, const std::string& target) {
    // A name of the run's own beside the target: the same volume, so that the restart only renames.
    std::string pending;
    for (int n = 1; pending.empty() || System_.Files.Attributes(pending); ++n)
        pending = target + ".yar-new-" + std::to_string(n);
    if (!System_.Files.CopyFileTo(source, pending, true))
        throw ECopyFileError("The file " + target + " is in use, and " + pending + " cannot be created");
    if (!System_.Files.ReplaceAtRestart(pending, target))
        throw ECopyFileError("The file " + target +
                             " is in use, and cannot be replaced when Windows restarts");
    State_.RestartNeeded = true;
    Log("In use: " + target + " - " + pending + " replaces it when Windows restarts (" +
        std::to_string(System_.Files.FileSize(pending).value_or(0)) + " bytes)");
    InstalledBytes_ += static_cast<uint64_t>(System_.Files.FileSize(pending).value_or(0));
}

void TInstallEngine::CreateShortcutsStep(const TInstallChoices& choices) {
    Status("Creating Icons and Folders");
    TShortcuts& s = Shortcuts_;
    s.Folder = choices.Folders.Folder;
    s.FolderStartMenu = choices.Folders.FolderStartMenu;
    s.FolderDesktop = choices.Folders.FolderDesktop;
    const std::string desktop = s.GetShellFolder(sfDesktop);
    const std::string programs = s.GetShellFolder(sfPrograms);
    const std::string startMenu = s.GetShellFolder(sfStartMenu);
    for (const TResolvedDirectory& row : Directories_)
        for (const std::string& value : Config_.DesktopEntries) {
            const TShortcutEntry entry = ParseShortcutEntry(value);
            if (!SameTag(entry.Target.Tag, row.Tag)) continue;
            Destination(entry.Folder);
            Step();
            s.Folder = entry.Folder;
            s.ProgramName = entry.Name;
            s.RunProgram = JoinPath(row.Path, entry.Target.Path);
            s.IconFile = JoinPath(row.Path, entry.Icon.Path);
            s.Desktop = entry.OnDesktop() && Ticked(choices.DesktopShortcuts, entry.Name);
            s.StartMenu = entry.InStartMenu() && Ticked(choices.StartMenuShortcuts, entry.Name);
            const std::string pattern = entry.Name + ".*";
            const std::string inFolder = JoinPath(entry.Folder, pattern);
            if (s.FolderDesktop) {
                Record_->AddFolder(desktop + entry.Folder);
                Record_->AddFile(desktop + inFolder);
            }
            if (s.Desktop) Record_->AddFile(desktop + pattern);
            if (s.StartMenu) Record_->AddFile(startMenu + pattern);
            if (s.FolderStartMenu) {
                Record_->AddFolder(startMenu + entry.Folder);
                Record_->AddFile(startMenu + inFolder);
            }
            Record_->AddFolder(programs + entry.Folder);
            Record_->AddFile(programs + inFolder);
            try {
                s.CreateShortcuts();
                Log("Shortcut: " + entry.Folder + "\\" + entry.Name + " -> " + s.RunProgram);
            } catch (const EShellLinkError& e) {
                // Shortcuts are a convenience: the install goes on without them.
                Log("Shortcut not made: " + entry.Name + " - " + e.what());
            } catch (const EInOutError& e) {
                Log("Shortcut not made: " + entry.Name + " - " + e.what());
            }
            RecordMadeDirectories(s.MadeFolders);
            s.MadeFolders.clear();
        }
}

void TInstallEngine::IniAndRegistryStep() {
    Status("Processing Registry Entries / INI Creation");
    std::vector<TIniEntry> entries;
    std::ranges::transform(Config_.IniSetupEntries, std::back_inserter(entries), ParseIniEntry);
    ReplaceIniTags(entries, Directories_);
    for (const TIniEntry& entry : entries) {
        Step();
        WriteIniEntry(entry, WindowsDir_, System_.Ini, System_.Registry, *Record_);
        if (entry.IsIniFile())
            Log("INI value: " + IniFilePath(entry.Target, WindowsDir_) + " [" + entry.Section + "] " +
                entry.Name + "=" + entry.Value);
        else
            LogRegistryValue(entry);
    }
}

void TInstallEngine::AutoexecStep() {
    Status("Copying Old Autoexec.bat to Autoexec.yar");
    const std::string autoexec = State_.RootDir + "autoexec.bat";
    std::vector<std::string> lines = System_.Files.ReadLines(autoexec).value_or(std::vector<std::string>{});
    SaveLines(System_.Files, State_.RootDir + "autoexec.yar", lines);
    AppendAutoexecBlock(lines, Config_.AutoexecLines, {State_.RootDir, Directories_, System_.Files});
    Status("Updating Autoexec.bat file");
    SaveLines(System_.Files, autoexec, lines);
}

void TInstallEngine::LaunchProgram(bool LaunchChecked) {
    // Nothing configured: there is nothing to start.
    if (Launch_.empty() || !LaunchWanted(Launch_, LaunchChecked)) return;
    const TLaunchCall call = LaunchCallOf(Launch_);
    // Whatever lies at that name and was not put there by this run is not known to be the program.
    if (!Wrote(call.Directory + call.File)) {
        Log("Not launched: " + call.Directory + call.File + " - not installed by this run");
        return;
    }
    // The shell's answer is not examined: a program that does not start gives no message.
    // The full path: a bare name would let the shell find a file of that name in the start directory.
    System_.Launcher.Launch(call.Directory + call.File, call.Parameters, call.Directory);
    Log("Launched: " + call.Directory + call.File);
}

} // namespace yar
