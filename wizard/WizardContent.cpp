#include "wizard/WizardContent.h"

#include "config/Texts.h"

#include "config/ConfigRecords.h"
#include "config/SetupConfig.h"
#include "config/SetupState.h"
#include "util/Paths.h"

namespace yar {

namespace {

constexpr std::string_view kIndent = "  ";

std::string Indented(std::string_view text) {
    return std::string(kIndent) + std::string(text);
}

} // namespace

std::string ProposedDestination(const SetupConfig& config, std::string_view RootDir) {
    const std::string base =
        config.AddToProgramFiles ? JoinPath(RootDir, "Program Files") : std::string(RootDir);
    return JoinPath(base, config.InstallDir);
}

TShownPages ShownPages(const SetupConfig& config, const SetupState& state) {
    return {config.Folder, ProposedDestination(config, state.RootDir), config.WorkStationPrompt};
}

TFolderPage FolderPage(const SetupConfig& config, std::string_view MainDir, std::string_view CreateFolder) {
    TFolderPage page;
    page.Summary = {Tr(txSummaryInstallTo), Indented(MainDir), "", Tr(txSummaryFolder),
                    Indented(CreateFolder)};
    for (const std::string& value : config.DesktopEntries) {
        const TShortcutEntry entry = ParseShortcutEntry(value);
        std::string line = entry.Target.Path + " \\ " + entry.Folder;
        if (entry.OnDesktop()) {
            page.DK.push_back({entry.Name});
            line += " \\ Desktop";
        }
        if (entry.InStartMenu()) {
            page.SM.push_back({entry.Name});
            line += " \\ Start Menu";
        }
        page.Summary.push_back(Indented(line));
    }
    return page;
}

std::string LaunchName(std::string_view Launch) {
    return SplitTag(Launch).Path;
}

TShortcutFolders ShortcutFolders(std::string_view CreateFolder, bool CheckBox1, bool CheckBox2) {
    return {std::string(CreateFolder), CheckBox1, CheckBox2};
}

} // namespace yar
