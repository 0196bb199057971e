#include "config/Texts.h"

#include "util/Text.h"

#include <utility>

namespace yar {

constexpr std::array<TTextRow, kTextCount> kTextRows = {{
    {txWizardCaption, "WizardCaption", "YAR32 - Setup"},
    {txWelcome, "Welcome",
     "\n"
     "It is strongly recommended that you exit all windows programs\n"
     "before running this Setup program.\n"
     "\n"
     "Click Cancel to quit Setup and then close any programs you have\n"
     "running ( Re-Boot if Necessary ). Click Next continue with Setup\n"
     "Program.\n"
     "\n"
     "\n"
     "WARNING: This program is protected by copyright law and international\n"
     "treaties. Unauthorised reproduction or distribution of this program, or\n"
     "of any part of it, may result in severe civil and criminal penalties,\n"
     "and will be prosecuted to the maximum extent possible under the law."},
    {txLicenceHint, "LicenceHint",
     "Click on Accept to continue with install process. pgdn/pgup to view License information."},
    {txLicenceChoice, "LicenceChoice",
     "You must select Accept or Decline to Continue with installation. if you accept License then click "
     "Accept!"},
    {txDecline, "Decline", "&Decline"},
    {txAccept, "Accept", "&Accept"},
    {txDestination, "Destination",
     "Setup will now install Software into the following directory\n"
     "\n"
     "To install to this directory, click next.\n"
     "\n"
     "To install to different directory, click browse and select \n"
     "another\n"
     "directory.\n"
     "\n"
     "you can choose not to install by clicking cancel."},
    {txDestinationGroup, "DestinationGroup", " Destination  Directory "},
    {txBrowseHint, "BrowseHint", "Browse for Directory"},
    {txBrowseButton, "BrowseButton", "..."},
    {txFoldersTitle, "FoldersTitle", "Create Folder's and Shortcuts."},
    {txMainFolder, "MainFolder", "Main Folder:"},
    {txFolderStartMenu, "FolderStartMenu", "Add Folder to Start Menu"},
    {txFolderDesktop, "FolderDesktop", "Add Folder to Desktop"},
    {txShortcutsDesktop, "ShortcutsDesktop", "Add Shortcut to Desktop?"},
    {txShortcutsStartMenu, "ShortcutsStartMenu", "Add Shortcut to Startmenu?"},
    {txInstallTypeTitle, "InstallTypeTitle", "What type of install to Execute"},
    {txFullInstall, "FullInstall", "Full Install ( All Files will be installed )"},
    {txMinInstall, "MinInstall", "Only Files need to run from Network will be installed"},
    {txReadyTitle, "ReadyTitle", "Ready to Start Installing Software"},
    {txLaunchAfter, "LaunchAfter", "Launch Program after installed"},
    {txReturnAfter, "ReturnAfter", "Return to Windows after installed"},
    {txRestartAfter, "RestartAfter", "Re Boot Windows After installed"},
    {txSummaryInstallTo, "SummaryInstallTo", "Install to:"},
    {txSummaryFolder, "SummaryFolder", "File \\ Folder : "},
    {txCancelButton, "CancelButton", "&Cancel"},
    {txBackButton, "BackButton", "&Back"},
    {txNextButton, "NextButton", "&Next"},
    {txInstallButton, "InstallButton", "&Install"},
    {txWarningName, "WarningName", "Warning"},
    {txProgressName, "ProgressName", "Progress"},
    {txCloseButton, "CloseButton", "&Close"},
    {txLicenceUnreadable, "LicenceUnreadable",
     "The licence file %1 cannot be read.\r\rSetup cannot go on without it and ends now."},
    {txOverwriteQuestion, "OverwriteQuestion", "File Already Exists (%1). Overwrite?"},
    {txSetupTitle, "SetupTitle", "YAR - Setup"},
    {txPrepareCaption, "PrepareCaption", "Preparing YAR Setup"},
    {txPrepareText, "PrepareText",
     "Setup is preparing the YAR Install Wizard which will guide you in the rest of you setup process."},
    {txPrepareStandby, "PrepareStandby", "%1 %2\rPlease Standby."},
    {txInsertDisk, "InsertDisk", "Please Insert Disk #%1 into Floppy Drive."},
    {txVolumeMissing, "VolumeMissing", "The volume %1 is missing."},
    {txRestartNotice, "RestartNotice",
     "Tarnwick is about to RE-BOOT your PC\r\rPlease Remove any floppies from drive.\r\rClick on OK when "
     "ready."},
    {txInstallCancelled, "InstallCancelled", "Your installation was canceled!"},
    {txInstallCompleted, "InstallCompleted",
     "Your installation of \r%1\rhas be completed.\r\rPlease Remove any floppies from drive."},
    {txInstallIncomplete, "InstallIncomplete",
     "Your installation of \r%1\ris incomplete: files that could not be written were left out.\r\rPlease "
     "Remove any floppies from drive."},
    {txUninstallTitle, "UninstallTitle", "YAR - Uninstall"},
    {txRemoving, "Removing", "Removing %1"},
    {txRemoveQuestion, "RemoveQuestion", "Remove %1 and all of its components?"},
    {txRemovedCompletely, "RemovedCompletely", "%1 was removed completely."},
    {txNotRemovedCompletely, "NotRemovedCompletely", "%1 could not be removed completely."},
    {txRemovedWithKept, "RemovedWithKept", "%1 was removed. Some items were left on purpose."},
    {txRemovedCount, "RemovedCount", "Removed: %1 files, folders and registry keys."},
    {txLeftItems, "LeftItems", "Left:"},
}};

namespace {

constexpr bool RowsInKeyOrder() {
    for (std::size_t i = 0; i < kTextRows.size(); ++i)
        if (kTextRows[i].Key != static_cast<TTextKey>(i)) return false;
    return true;
}
static_assert(RowsInKeyOrder(), "kTextRows must hold one row per TTextKey, in its order");

bool IsPlaceDigit(char c) {
    return c >= '1' && c <= '9';
}

TTexts& Current() {
    static TTexts texts;
    return texts;
}

} // namespace

std::optional<TTextKey> TextKeyNamed(std::string_view name) {
    for (const TTextRow& row : kTextRows)
        if (SameText(name, row.Name)) return row.Key;
    return std::nullopt;
}

std::string FormatText(std::string_view pattern, const std::vector<std::string>& values) {
    std::string text;
    text.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (pattern[i] == '%' && next == '%') {
            text += '%';
            ++i;
        } else if (const auto place = static_cast<std::size_t>(next - '1');
                   pattern[i] == '%' && IsPlaceDigit(next) && place < values.size()) {
            text += values[place];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

std::string EscapeText(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '\r')
            escaped += "%r";
        else if (c == '\n')
            escaped += "%n";
        else
            escaped += c;
    }
    return escaped;
}

std::string UnescapeText(std::string_view text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] == '%' && (next == 'r' || next == 'n')) {
            plain += next == 'r' ? '\r' : '\n';
            ++i;
        } else if (text[i] == '%' && next == '%') {
            plain += "%%"; // left for FormatText
            ++i;
        } else {
            plain += text[i];
        }
    }
    return plain;
}

TTexts::TTexts() {
    for (const TTextRow& row : kTextRows) FTexts[row.Key] = row.English;
}

TTexts TTexts::FromProfile(const TProfileSource& file, const TConverter& convert) {
    TTexts texts;
    for (const TTextRow& row : kTextRows) {
        // A key the file does not hold reads as this marker, which no text can be: a value is one line.
        const std::string value = file.ReadString(kTextsSection, row.Name, "\n");
        if (value == "\n") continue;
        if (std::optional<std::string> converted = convert(value)) {
            texts.FTexts[row.Key] = UnescapeText(*converted);
            ++texts.FTranslated;
        }
    }
    return texts;
}

std::vector<std::string> TTexts::Lines(TTextKey key) const {
    std::vector<std::string> lines(1);
    for (const char c : Format(key, {})) {
        if (c == '\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

const TTexts& CurrentTexts() {
    return Current();
}

void UseTexts(TTexts texts) {
    Current() = std::move(texts);
}

std::string EnglishLanguageFile() {
    std::string file =
        "; The English texts of YAR Setup, written by `yar texts`: a language file holds the same\r\n"
        "; keys. %1, %2 ... are the values filled in, %r and %n line breaks, %% a percent sign.\r\n"
        "[Language]\r\nName=English\r\nCodePage=1252\r\n\r\n[Texts]\r\n";
    for (const TTextRow& row : kTextRows)
        file += std::string(row.Name) + "=\"" + EscapeText(row.English) + "\"\r\n";
    return file;
}

} // namespace yar
