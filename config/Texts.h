// The texts install.exe and uninstaller.exe show: one key for each, its English text as the programs
// have always shown it, and the texts of a language read from its language file. A text with values
// holds numbered places (%1, %2 ...) that Format fills, so that a translation may put them in another
// order; "%%" is a percent sign. The language file writes a carriage return as "%r" and a line feed as
// "%n" (a percent sign is never the second byte of a double-byte character, a backslash may be).
#pragma once

#include "config/ProfileSource.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yar {

enum TTextKey {
    // the wizard
    txWizardCaption,
    txWelcome,
    txLicenceHint,
    txLicenceChoice,
    txDecline,
    txAccept,
    txDestination,
    txDestinationGroup,
    txBrowseHint,
    txBrowseButton,
    txFoldersTitle,
    txMainFolder,
    txFolderStartMenu,
    txFolderDesktop,
    txShortcutsDesktop,
    txShortcutsStartMenu,
    txInstallTypeTitle,
    txFullInstall,
    txMinInstall,
    txReadyTitle,
    txLaunchAfter,
    txReturnAfter,
    txRestartAfter,
    txSummaryInstallTo,
    txSummaryFolder,
    txCancelButton,
    txBackButton,
    txNextButton,
    txInstallButton,
    // what screen readers call the warning text and the progress bar
    txWarningName,
    txProgressName,
    txCloseButton,
    txLicenceUnreadable,
    txOverwriteQuestion,
    // the preparation and the end of the run
    txSetupTitle,
    txPrepareCaption,
    txPrepareText,
    txPrepareStandby,
    txInsertDisk,
    txVolumeMissing,
    txRestartNotice,
    txInstallCancelled,
    txInstallCompleted,
    txInstallIncomplete,
    // the uninstaller
    txUninstallTitle,
    txRemoving,
    txRemoveQuestion,
    txRemovedCompletely,
    txNotRemovedCompletely,
    txRemovedWithKept,
    txRemovedCount,
    txLeftItems,
    kTextCount
};

struct TTextRow {
    TTextKey Key;
    const char* Name; // the key in a language file
    const char* English;
};

// One row per key, in the order of TTextKey.
extern const std::array<TTextRow, kTextCount> kTextRows;

// The key of a language file's name, nothing for a name no text has (letter case ignored).
std::optional<TTextKey> TextKeyNamed(std::string_view name);

// The text with %1 ... %9 replaced by the values given (a place without a value stays as it is) and
// "%%" by "%". Nothing else of the text is read: a translated text is never a format of printf.
std::string FormatText(std::string_view pattern, const std::vector<std::string>& values);

// The language file's form of a text ("%r", "%n", "%%" kept) and back.
std::string EscapeText(std::string_view text);
std::string UnescapeText(std::string_view text);

// The language file's sections and the keys of its [Language] section.
inline constexpr const char* kLanguageSection = "Language";
inline constexpr const char* kTextsSection = "Texts";

// The texts of one language: English for every key its file does not hold.
class TTexts {
public:
    TTexts(); // English
    // The texts of a language file. convert turns a value in the file's code page into the programs'
    // text and gives nothing for one it cannot: that text stays English.
    using TConverter = std::function<std::optional<std::string>(const std::string&)>;
    static TTexts FromProfile(const TProfileSource& file, const TConverter& convert);

    const std::string& operator[](TTextKey key) const { return FTexts[key]; }
    std::string Format(TTextKey key, const std::vector<std::string>& values) const {
        return FormatText(FTexts[key], values);
    }
    // The text split at its line feeds: a memo's lines.
    std::vector<std::string> Lines(TTextKey key) const;
    // How many keys the file gave; the rest are English.
    int Translated() const { return FTranslated; }

private:
    std::array<std::string, kTextCount> FTexts;
    int FTranslated = 0;
};

// The texts the programs show: English until a language is chosen. The programs choose once, at their
// start, before any window shows.
const TTexts& CurrentTexts();
void UseTexts(TTexts texts);
inline std::string Tr(TTextKey key) {
    return CurrentTexts().Format(key, {});
}
inline std::string Tr(TTextKey key, const std::vector<std::string>& values) {
    return CurrentTexts().Format(key, values);
}

// The English language file, as `yar languages` writes it and config/languages/lang-en.ini holds it.
std::string EnglishLanguageFile();

} // namespace yar
