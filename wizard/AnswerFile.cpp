#include "wizard/AnswerFile.h"

#include "wizard/EndChoice.h"
#include "wizard/WizardContent.h"

#include <algorithm>

namespace yar {

namespace {

constexpr char kNameSeparator = '|';

std::vector<std::string> SplitNames(const std::string& text) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(kNameSeparator, start), text.size());
        if (end > start) names.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::string JoinNames(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : "|") + name;
    return text;
}

std::vector<std::string> TickedNames(const std::vector<TCheckItem>& items) {
    std::vector<std::string> names;
    for (const TCheckItem& item : items)
        if (item.Checked) names.push_back(item.Caption);
    return names;
}

void TickOnly(std::vector<TCheckItem>& items, const std::optional<std::vector<std::string>>& names) {
    if (!names) return;
    for (TCheckItem& item : items) item.Checked = std::ranges::find(*names, item.Caption) != names->end();
}

} // namespace

TSetupAnswers ReadAnswerFile(const TFiles& files, const TIniFiles& ini, const std::string& path) {
    if (!files.FileExists(path)) throw ESwitchError("The answer file " + path + " cannot be read.");
    // A key that is missing reads as this, which no value of a text file holds (the profile functions
    // would take blanks off a default).
    const std::string missing(1, '\x7f');
    const auto read = [&](const char* key) -> std::optional<std::string> {
        std::string value = ini.ReadString(path, kAnswerSection, key, missing);
        if (value == missing) return std::nullopt;
        return value;
    };
    const std::string where = path + ": ";
    TSetupAnswers answers;
    answers.Dir = read("Dir");
    if (const auto type = read("Type")) answers.MinInstall = InstallTypeIsMin(*type, where + "Type");
    if (const auto folders = read("Folders")) ParseFolderWords(*folders, where + "Folders", answers);
    if (const auto desktop = read("Desktop")) answers.Desktop = SplitNames(*desktop);
    if (const auto startMenu = read("StartMenu")) answers.StartMenu = SplitNames(*startMenu);
    if (const auto end = read("EndChoice")) answers.EndChoice = EndChoiceFromWord(*end, where + "EndChoice");
    if (const auto overwrite = read("Overwrite")) answers.Overwrite = YesNo(*overwrite, where + "Overwrite");
    if (const auto errors = read("FileErrors"))
        answers.IgnoreFileErrors = IgnoresFileErrors(*errors, where + "FileErrors");
    return answers;
}

void WriteAnswerFile(TIniFiles& ini, const std::string& path, const TSetupAnswers& answers) {
    const auto write = [&](const char* key, const std::string& value) {
        if (!ini.WriteString(path, kAnswerSection, key, value))
            throw ESwitchError("The answer file " + path + " cannot be written.");
    };
    if (answers.Dir) write("Dir", *answers.Dir);
    if (answers.MinInstall) write("Type", InstallTypeWord(*answers.MinInstall));
    if (answers.FolderStartMenu || answers.FolderDesktop)
        write("Folders",
              FolderWords(answers.FolderStartMenu.value_or(false), answers.FolderDesktop.value_or(false)));
    if (answers.Desktop) write("Desktop", JoinNames(*answers.Desktop));
    if (answers.StartMenu) write("StartMenu", JoinNames(*answers.StartMenu));
    if (answers.EndChoice) write("EndChoice", EndChoiceWord(*answers.EndChoice));
    if (answers.Overwrite) write("Overwrite", YesNoWord(*answers.Overwrite));
    if (answers.IgnoreFileErrors) write("FileErrors", FileErrorsWord(*answers.IgnoreFileErrors));
}

TSetupAnswers AnswersOf(const TInstallChoices& choices, TEndChoice endChoice) {
    TSetupAnswers answers;
    answers.Dir = choices.MainDir;
    answers.MinInstall = choices.MinInstall;
    answers.FolderStartMenu = choices.Folders.FolderStartMenu;
    answers.FolderDesktop = choices.Folders.FolderDesktop;
    answers.Desktop = TickedNames(choices.DesktopShortcuts);
    answers.StartMenu = TickedNames(choices.StartMenuShortcuts);
    answers.EndChoice = endChoice;
    return answers;
}

TEndChoice UnattendedEndChoice(const SetupConfig& config, const TSetupAnswers& answers, bool noLaunch) {
    const TEndChoiceButtons offered = EndChoicePreset(config);
    const TEndChoice choice = answers.EndChoice.value_or(EndChoiceOf(offered));
    if (choice == ecLaunch && (noLaunch || !offered.LaunchEnabled)) return ecReturnToWindows;
    if (choice == ecRestart && !offered.RestartVisible) return ecReturnToWindows;
    return choice;
}

TInstallChoices UnattendedChoices(const SetupConfig& config, const SetupState& state,
                                  const TSetupAnswers& answers, TEndChoice endChoice) {
    const TShownPages shown = ShownPages(config, state);
    TInstallChoices choices;
    choices.MainDir = answers.Dir.value_or(shown.MainDir);
    choices.MinInstall = answers.MinInstall.value_or(shown.MinInstall);
    choices.LaunchChecked = endChoice == ecLaunch;
    TFolderPage page = FolderPage(config, choices.MainDir, shown.CreateFolder);
    TickOnly(page.DK, answers.Desktop);
    TickOnly(page.SM, answers.StartMenu);
    choices.DesktopShortcuts = std::move(page.DK);
    choices.StartMenuShortcuts = std::move(page.SM);
    choices.Folders = ShortcutFolders(shown.CreateFolder, answers.FolderStartMenu.value_or(false),
                                      answers.FolderDesktop.value_or(false));
    return choices;
}

} // namespace yar
