#include "setup/DriverRules.h"

#include "config/Texts.h"
#include "util/Paths.h"
#include "util/Text.h"

namespace yar {

std::string StartDirFrom(const std::string& currentDir) {
    return currentDir.size() > 3 ? currentDir + "\\" : currentDir;
}

std::string SegmentDirOf(const std::string& workDir) {
    return workDir + "\\" + kSegmentDirName;
}

std::string RootDirFrom(const std::string& windowsDir) {
    return windowsDir.substr(0, 3);
}

TRunEnd RunEndFor(TEndChoice choice, const SetupState& state) {
    // A run that stopped on a failure neither restarts nor launches, whatever the end choice held: a
    // silent run keeps the configuration's preset, which may be the restart.
    if (state.Failure != rfNone) return reCancelled;
    if (choice == ecRestart || state.RestartNeeded) return reRestart;
    if (state.Cancelled) return reCancelled;
    if (state.FilesLeftOut > 0) return reIncomplete;
    if (choice != ecLaunch) return reCompleted;
    return reLaunched;
}

std::string RunEndMessage(TRunEnd end, const std::string& header) {
    switch (end) {
    case reRestart:
        return Tr(txRestartNotice);
    case reCancelled:
        return Tr(txInstallCancelled);
    case reCompleted:
        return Tr(txInstallCompleted, {header});
    case reIncomplete:
        return Tr(txInstallIncomplete, {header});
    case reLaunched:
        break;
    }
    return {};
}

std::string RestartLeftToCaller(TEndChoice choice, const SetupState& state, const TSetupSwitches& switches) {
    if (switches.NoRestart) return "/NORESTART";
    if (switches.Unattended() && choice != ecRestart && state.RestartNeeded && !switches.AllowRestart)
        return "files in use are replaced when Windows next starts; /ALLOWRESTART restarts it";
    return {};
}

TExitCode ExitCodeFor(const SetupState& state, TEndChoice choice, bool noRestart) {
    if (state.Failure == rfPrepare) return exPrepareFailed;
    if (state.Failure == rfInstall) return exInstallStopped;
    if (state.Cancelled || !state.Installed) return exCancelled;
    if ((choice == ecRestart || state.RestartNeeded) && noRestart) return exRestartNeeded;
    return state.FilesLeftOut > 0 ? exIncomplete : exInstalled;
}

bool SourceDirIsDisposable(const std::string& sourceDir, const std::string& tempDir) {
    if (tempDir.empty() || sourceDir.empty()) return false;
    const std::string temp = IncludeTrailingDelimiter(tempDir);
    const std::string source = IncludeTrailingDelimiter(sourceDir);
    return source.size() > temp.size() && StartsWithText(source, temp) && !Contains(source, "..");
}

} // namespace yar
