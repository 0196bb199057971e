#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "config/Languages.h"
#include "config/ProfileReader.h"
#include "config/Texts.h"
#include "util/Text.h"

namespace yar {
namespace {

std::optional<std::string> AsItIs(const std::string& text) {
    return text;
}

TTexts Read(const std::string& file) {
    return TTexts::FromProfile(*TProfileReader::FromText(file), AsItIs);
}

TEST(FormatText, FillsNumberedPlacesInAnyOrder) {
    struct TCase {
        const char* Pattern;
        std::vector<std::string> Values;
        const char* Expected;
    };
    const TCase cases[] = {
        {"Remove %1 and all of its components?", {"Acme"}, "Remove Acme and all of its components?"},
        {"%2 before %1", {"one", "two"}, "two before one"},
        {"%1%1", {"ab"}, "abab"},
        {"100%% of %1", {"it"}, "100% of it"},
        {"%3 has no value", {"a"}, "%3 has no value"},
        {"%0 and %x stay", {"a"}, "%0 and %x stay"},
        {"ends in %", {}, "ends in %"},
        // A value is never read as a pattern: what a user or a file gave stays as given.
        {"File %1 exists", {"%2%s%n%%"}, "File %2%s%n%% exists"},
    };
    for (const TCase& c : cases) EXPECT_EQ(FormatText(c.Pattern, c.Values), c.Expected) << c.Pattern;
}

TEST(Texts, EnglishFileReadsBackToEveryTextByteForByte) {
    const TTexts texts = Read(EnglishLanguageFile());
    EXPECT_EQ(texts.Translated(), kTextCount);
    for (const TTextRow& row : kTextRows) EXPECT_EQ(texts[row.Key], row.English) << row.Name;
}

TEST(Texts, KeysAreUniqueAndFoundWithoutRegardToCase) {
    std::set<std::string> names;
    for (const TTextRow& row : kTextRows) {
        EXPECT_TRUE(names.insert(LowerCase(row.Name)).second) << row.Name;
        EXPECT_EQ(TextKeyNamed(UpperCase(row.Name)), row.Key);
    }
    EXPECT_FALSE(TextKeyNamed("NoSuchText").has_value());
}

TEST(Texts, MissingKeysFallBackToEnglishAndUnknownKeysAreIgnored) {
    const TTexts texts = Read("[Texts]\n"
                              "NextButton=&Weiter\n"
                              "NoSuchKey=whatever\n"
                              "RemoveQuestion=\"%1 entfernen?\"\n"
                              "InsertDisk=\n");
    EXPECT_EQ(texts.Translated(), 3);
    EXPECT_EQ(texts[txNextButton], "&Weiter");
    EXPECT_EQ(texts.Format(txRemoveQuestion, {"Acme"}), "Acme entfernen?");
    EXPECT_EQ(texts[txInsertDisk], ""); // given empty: the vendor's choice, not a missing key
    EXPECT_EQ(texts[txBackButton], "&Back");
    EXPECT_EQ(texts[txInstallCompleted], kTextRows[txInstallCompleted].English);
}

TEST(Texts, TextTheConverterRefusesStaysEnglish) {
    const auto refuseUmlauts = [](const std::string& text) -> std::optional<std::string> {
        if (text.find('\xE4') != std::string::npos) return std::nullopt;
        return text;
    };
    const TTexts texts = TTexts::FromProfile(
        *TProfileReader::FromText("[Texts]\nAccept=Annehmen\nDecline=Ablehnen \xE4\n"), refuseUmlauts);
    EXPECT_EQ(texts[txAccept], "Annehmen");
    EXPECT_EQ(texts[txDecline], kTextRows[txDecline].English);
    EXPECT_EQ(texts.Translated(), 1);
}

TEST(Texts, LineBreaksAndDoubleByteTextsSurviveTheFile) {
    // "表示" in Shift-JIS: 0x95 0x5C 0x8E 0xA6; its second byte is a backslash.
    const std::string shown = "\x95\x5C\x8E\xA6";
    const TTexts texts = Read("[Texts]\nWelcome=\"" + shown + "%r%n 100%%\\n \"\n");
    EXPECT_EQ(texts.Format(txWelcome, {}), shown + "\r\n 100%\\n ");
    EXPECT_EQ(texts.Lines(txWelcome), (std::vector<std::string>{shown + "\r", " 100%\\n "}));
}

TEST(Texts, CurrentTextsAreEnglishUntilALanguageIsUsed) {
    EXPECT_EQ(Tr(txCancelButton), "&Cancel");
    UseTexts(Read("[Texts]\nCancelButton=&Abbrechen\n"));
    EXPECT_EQ(Tr(txCancelButton), "&Abbrechen");
    EXPECT_EQ(Tr(txRemoving, {"Acme"}), "Removing Acme");
    UseTexts(TTexts());
    EXPECT_EQ(Tr(txCancelButton), "&Cancel");
}

// The numbered places and the accelerators of a text: a translation keeps both.
std::multiset<std::string> Marks(const std::string& text) {
    std::multiset<std::string> marks;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9') marks.insert(text.substr(i, 2));
        if (text[i] == '&' && text[i + 1] != '&') marks.insert("&");
    }
    return marks;
}

TEST(ShippedLanguages, EveryFileHoldsEveryKeyOnceAndNoOther) {
    ASSERT_GE(BuiltInLanguages().size(), 4u);
    for (const TLanguageFile& language : BuiltInLanguages()) {
        const auto file = TProfileReader::FromText(language.Text);
        std::set<std::string> seen;
        for (const TProfileReader::TSection& section : file->Sections()) {
            if (section.Name != kTextsSection) continue;
            for (const TProfileReader::TEntry& entry : section.Entries) {
                EXPECT_TRUE(TextKeyNamed(entry.Name).has_value()) << language.Code << ": " << entry.Name;
                EXPECT_TRUE(seen.insert(LowerCase(entry.Name)).second) << language.Code << ": " << entry.Name;
            }
        }
        EXPECT_EQ(seen.size(), static_cast<std::size_t>(kTextCount)) << language.Code;
        EXPECT_FALSE(file->ReadString(kLanguageSection, "CodePage", "").empty()) << language.Code;
        const TTexts texts = Read(language.Text);
        for (const TTextRow& row : kTextRows)
            EXPECT_EQ(Marks(texts[row.Key]), Marks(row.English)) << language.Code << ": " << row.Name;
    }
}

TEST(ShippedLanguages, TranslationsDifferFromEnglish) {
    for (const TLanguageFile& language : BuiltInLanguages()) {
        if (language.Code == kEnglish) continue;
        const TTexts texts = Read(language.Text);
        for (const TTextKey key : {txWelcome, txLicenceHint, txReadyTitle, txRemoveQuestion})
            EXPECT_NE(texts[key], kTextRows[key].English) << language.Code << ": " << kTextRows[key].Name;
    }
}

#ifdef YAR_LANGUAGES_DIR
TEST(ShippedLanguages, CheckedInEnglishFileIsTheCodes) {
    std::ifstream file(std::string(YAR_LANGUAGES_DIR) + "/lang-en.ini", std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    EXPECT_EQ(content.str(), EnglishLanguageFile()) << "config/languages/lang-en.ini differs from the code's "
                                                       "texts: yar texts -o config/languages/lang-en.ini";
}
#endif

TEST(LanguageFiles, CodeOfFileName) {
    struct TCase {
        const char* Name;
        std::optional<std::string> Code;
    };
    const TCase cases[] = {
        {"lang-de.ini", "de"},
        {"LANG-JA.INI", "ja"},
        {"lang-pt-BR.ini", "pt-br"},
        {"lang-.ini", std::nullopt},
        {"lang-de.txt", std::nullopt},
        {"xlang-de.ini", std::nullopt},
        {"lang-..\\x.ini", std::nullopt},
        {"lang-d e.ini", std::nullopt},
        {"lang-abcdefghijklmnop.ini", std::nullopt},
    };
    for (const TCase& c : cases) EXPECT_EQ(LanguageCodeOfFileName(c.Name), c.Code) << c.Name;
}

TEST(LanguageChoice, ForcedThenInterfaceThenEnglishWithinTheAllowed) {
    struct TCase {
        std::vector<std::string> Available;
        std::vector<std::string> Allowed;
        std::optional<std::string> Forced;
        std::string Interface;
        std::string Expected;
    };
    const std::vector<std::string> shipped = {"de", "fr", "ja"};
    const TCase cases[] = {
        {shipped, {}, std::nullopt, "de", "de"},
        {shipped, {}, std::nullopt, "de-AT", "de"},
        {shipped, {}, std::nullopt, "sv", "en"},
        {shipped, {}, "ja", "de", "ja"},
        {shipped, {}, "JA", "de", "ja"},
        {shipped, {}, "en", "de", "en"},
        {shipped, {}, "sv", "fr", "fr"}, // a forced language that is not there: the usual choice
        {shipped, {"en", "de"}, std::nullopt, "fr", "en"},
        {shipped, {"en", "de"}, "ja", "fr", "en"},   // not allowed, even when forced
        {shipped, {"de"}, std::nullopt, "fr", "de"}, // English itself not allowed
        {shipped, {"sv"}, std::nullopt, "fr", "en"}, // nothing allowed is there: English still shows
        {{}, {}, std::nullopt, "", "en"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ChooseLanguage(c.Available, c.Allowed, c.Forced, c.Interface), c.Expected)
            << c.Forced.value_or("-") << " " << c.Interface;
}

TEST(LanguageChoice, ListOfCodes) {
    EXPECT_EQ(LanguageList(" en, DE ,,ja"), (std::vector<std::string>{"en", "de", "ja"}));
    EXPECT_TRUE(LanguageList("").empty());
}

} // namespace
} // namespace yar
