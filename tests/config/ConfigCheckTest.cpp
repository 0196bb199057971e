#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/ColourContrast.h"
#include "config/ConfigCheck.h"
#include "config/Languages.h"
#include "config/ProfileReader.h"
#include "config/SetupConfig.h"
#include "config/Texts.h"

namespace yar {
namespace {

std::vector<TConfigFinding> Check(const std::string& text, const TDistributionFacts& facts = {}) {
    return CheckSetupConfig(*TProfileReader::FromText(text), facts);
}

// The one finding on line, which must hold part; fails when there is none or more than one.
void ExpectFinding(const std::vector<TConfigFinding>& findings, int line, TFindingLevel level,
                   const std::string& part) {
    std::vector<TConfigFinding> onLine;
    for (const TConfigFinding& f : findings)
        if (f.Line == line) onLine.push_back(f);
    ASSERT_EQ(onLine.size(), 1u) << "line " << line << " expected: " << part;
    EXPECT_EQ(onLine[0].Level, level) << onLine[0].Text;
    EXPECT_NE(onLine[0].Text.find(part), std::string::npos) << onLine[0].Text;
}

// A configuration the setup reads as its author meant; each test adds its mistake after it.
const std::string kSound = "[Setup - Main]\n"                // 1
                           "Launch=<INSTALLDIR>app.exe,/q\n" // 2
                           "Bitmap File=logo.gif\n"          // 3
                           "Dither From=0xFF00\n"            // 4
                           "Dither To=$80000005\n"           // 5
                           "Show Warning Screen=2\n"         // 6
                           "[Directories]\n"                 // 7
                           "Dir1=<INSTALLDIR>~\n"            // 8
                           "Dir2=<SUB1><INSTALLDIR>~docs\n"  // 9
                           "[Files]\n"                       // 10
                           "File1=bin\\app.exe~<INSTALLDIR>\n"
                           "File2=docs\\manual.txt~<SUB1><INSTALLDIR>\n"
                           "[WorkStation]\n" // 13
                           "File1=bin\\app.exe~<INSTALLDIR>\n"
                           "[Files - OverWrite]\n" // 15
                           "File #1=1\n"
                           "[Desktop]\n" // 17
                           "Icon1=App~<INSTALLDIR>app.exe~X~X~<INSTALLDIR>app.exe~App\n"
                           "[INI - Setup]\n" // 19
                           "Ini1=<INSTALLDIR>app.ini~Paths~Home~<INSTALLDIR>docs\n"
                           "[AUTOEXEC.BAT]\n" // 21
                           "SET APP=<INSTALLDIR>\n";

const TDistributionFacts kSoundSet{
    2, std::vector<std::string>{"APP.EXE", "manual.txt", "logo.gif", "license.txt"}, {}};

TEST(CheckSetupConfig, ASoundConfigurationHasNoFinding) {
    EXPECT_TRUE(Check(kSound).empty());
    EXPECT_TRUE(Check("[Setup - Main]\nInstall Disks=2\n" + kSound.substr(15), kSoundSet).empty());
}

TEST(CheckSetupConfig, LinesTheSetupNeverReads) {
    const auto findings = Check("Stray=1\n"               // 1: before any section
                                "; a comment is no key\n" // 2
                                + kSound.substr(0, 15) +  // 3: [Setup - Main]
                                "Instal Dir=Acme\n"       // 4: misspelt key
                                "Header2 Font\n"          // 5: no "="
                                "[Setup - Mian]\n"        // 6: unknown section
                                "Header=x\n"              // 7: inside it, not reported again
                                "[setup - main]\n"        // 8: the same section again
                                "Header=y\n" +            // 9
                                kSound.substr(15) +       // 10..
                                "[Files - OverWrite]\n"   // 31: not the first of its name: repeats
                                "File #0=1\n");
    ExpectFinding(findings, 1, flWarning, "before the first section");
    ExpectFinding(findings, 4, flWarning, "\"Instal Dir\" is not one the setup reads");
    ExpectFinding(findings, 5, flWarning, "without \"=\"");
    ExpectFinding(findings, 6, flWarning, "[Setup - Mian] is not one the setup reads");
    ExpectFinding(findings, 8, flError, "repeats line 3");
    ExpectFinding(findings, 31, flError, "repeats line 23");
    EXPECT_EQ(findings.size(), 6u);
}

TEST(CheckSetupConfig, RepeatedListKeysReadTheFirstValueTwice) {
    const auto findings = Check(kSound + "[Files]\n");
    const auto repeated =
        Check(kSound.substr(0, kSound.find("[WorkStation]")) + "File1=other.txt~<INSTALLDIR>\n");
    ExpectFinding(repeated, 13, flError, "key \"File1\" repeats line 11");
    EXPECT_EQ(repeated.size(), 1u);
    ExpectFinding(findings, 23, flError, "section [Files] repeats line 10");
}

TEST(CheckSetupConfig, ValuesAndListingsBeyondTheBuffers) {
    const auto cut =
        Check(kSound.substr(0, 15) + "Header=" + std::string(1024, 'h') + "\n" + kSound.substr(15));
    ExpectFinding(cut, 2, flError, "1024 characters long: the setup reads only the first 1023");
    EXPECT_TRUE(
        Check(kSound.substr(0, 15) + "Header=" + std::string(1023, 'h') + "\n" + kSound.substr(15)).empty());
    // Keys of 100 characters: about 80 fit into the listing's 8192 bytes, the rest are never read.
    const std::string& many = kSound;
    std::string desktop;
    for (int i = 0; i < 100; ++i)
        desktop += std::string(99, 'k') + std::to_string(i % 10) + std::to_string(i / 10) +
                   "=App~<INSTALLDIR>app.exe~X~X~~App\n";
    const std::size_t at = many.find("[INI - Setup]");
    const auto listing = Check(many.substr(0, at) + desktop + many.substr(at));
    ASSERT_EQ(listing.size(), 1u);
    EXPECT_EQ(listing[0].Level, flError);
    EXPECT_NE(listing[0].Text.find("8192 bytes and stops before this one"), std::string::npos);
    // Each key takes 102 bytes of the listing: after Icon1 80 keys fit whole, the 81st is cut short.
    EXPECT_EQ(listing[0].Line, 18 + 81);
}

TEST(CheckSetupConfig, NumbersAndColoursThatDoNotConvert) {
    const auto findings = Check(kSound.substr(0, 15) +             // 1
                                "Dither From=blue\n"               // 2
                                "Header Font Size=12pt\n"          // 3
                                "Show Re-Boot=no\n"                // 4
                                "Dither To=0x\n"                   // 5: the prefix alone is no number
                                "Install Disks=\"3\"\n"            // 6: the quotes go, 3 converts
                                "Header2 Font Color=-16777216\n" + // 7: a number, however odd
                                kSound.substr(15));
    for (const int line : {6, 7})
        for (const TConfigFinding& f : findings) EXPECT_NE(f.Line, line) << f.Text;
    ExpectFinding(findings, 2, flError, "\"Dither From\" is not a colour: \"blue\"");
    ExpectFinding(findings, 3, flError, "\"Header Font Size\" is not a number");
    ExpectFinding(findings, 4, flError, "\"Show Re-Boot\" is not a number: \"no\"");
    ExpectFinding(findings, 5, flError, "\"Dither To\" is not a colour: \"0x\"");
    const auto overwrite = Check(kSound.substr(0, kSound.find("File #1=1")) + "File #0=yes\n" +
                                 kSound.substr(kSound.find("[Desktop]")));
    ExpectFinding(overwrite, 16, flError, "\"File #0\" is not a number");
}

TEST(CheckSetupConfig, OverwritePositionsMustLieInTheList) {
    const std::size_t at = kSound.find("File #1=1");
    const auto findings = Check(kSound.substr(0, at) + "File #2=1\n" // 16: [Files] has 2
                                + "File #01=1\n"                     // 17: never asked for
                                + "Entry=1\n" +                      // 18
                                kSound.substr(kSound.find("[Desktop]")));
    ExpectFinding(findings, 16, flError, "position 2 is beyond the list: [Files] has 2 entries");
    ExpectFinding(findings, 17, flWarning, "\"File #01\" is not one the setup reads");
    ExpectFinding(findings, 18, flWarning, "\"Entry\" is not one the setup reads");
    EXPECT_EQ(findings.size(), 3u);
}

TEST(CheckSetupConfig, AnInstallationDirectoryIsNeeded) {
    std::string text = kSound;
    text.replace(text.find("Dir1=<INSTALLDIR>~\n"), 19, "Dir1=<ALT1>~Acme\n");
    const auto findings = Check(text);
    // Every line that names <INSTALLDIR> is reported too; the row's own finding is on its section.
    ExpectFinding(findings, 7, flError, "no [Directories] row is tagged <INSTALLDIR>");
    const auto none = Check("[Setup - Main]\nHeader=x\n");
    ExpectFinding(none, 1, flError, "no [Directories] row is tagged <INSTALLDIR>");
}

TEST(CheckSetupConfig, TagsThatNameNoRow) {
    std::string text = kSound;
    text.replace(text.find("File2=docs\\manual.txt~<SUB1><INSTALLDIR>"), 40,
                 "File2=docs\\manual.txt~<SUB2><INSTALLDIR>");
    text.replace(text.find("Icon1=App~<INSTALLDIR>"), 22, "Icon1=App~<SUB1><INSTALLDIR>");
    const std::size_t ini = text.find("Ini1=");
    text.insert(ini, "Ini0=<SUB1><INSTALLDIR>x.ini~S~K~<PROGDIR>v\n");
    const auto findings = Check(text);
    ExpectFinding(findings, 12, flError,
                  "\"<SUB2><INSTALLDIR>\" names no [Directories] row: this file is never installed");
    // The shortcut's target and the INI fields compare only the text up to the first ">".
    ExpectFinding(findings, 18, flError,
                  "only <SUB1> is compared here (the text up to the first \">\"), so the row "
                  "<SUB1><INSTALLDIR> can never match: this shortcut is never made");
    int onIni = 0;
    for (const TConfigFinding& f : findings)
        if (f.Line == 20) {
            ++onIni;
            EXPECT_EQ(f.Level, flError);
        }
    EXPECT_EQ(onIni, 2); // the target's compound tag and the value's unknown one
    const auto workstation =
        Check(kSound.substr(0, kSound.find("[Files - OverWrite]")) + "File2=bin\\app.exe~<WINDOWS>\n" +
              kSound.substr(kSound.find("[Files - OverWrite]")));
    ExpectFinding(workstation, 15, flError, "\"<WINDOWS>\" names no [Directories] row");
}

TEST(CheckSetupConfig, OneNameForTwoSourcesAndNamesTheWorkingDirectoryCannotHold) {
    const std::size_t at = kSound.find("[WorkStation]");
    const auto findings = Check(kSound.substr(0, at) + "File3=old\\APP.EXE~<INSTALLDIR>\n" // 13
                                + "File4=con.txt~<INSTALLDIR>\n"                           // 14
                                + "File5=dir\\name.~<INSTALLDIR>\n"                        // 15
                                + kSound.substr(at)); // 16: [WorkStation]
    ExpectFinding(findings, 13, flError, "the file name APP.EXE is also that of bin\\app.exe (line 11)");
    ExpectFinding(findings, 14, flError, "the file name \"con.txt\" cannot be expanded");
    ExpectFinding(findings, 15, flError, "the file name \"name.\" cannot be expanded");
    // The same source in [Files] and [WorkStation] is one file of the set.
    for (const TConfigFinding& f : findings) EXPECT_NE(f.Line, 17) << f.Text;
    const auto acrossSections =
        Check(kSound.substr(0, kSound.find("File1=bin", at)) + "File1=other\\app.exe~<INSTALLDIR>\n" +
              kSound.substr(kSound.find("[Files - OverWrite]")));
    ExpectFinding(acrossSections, 14, flError, "also that of bin\\app.exe (line 11)");
}

TEST(CheckSetupConfig, TheLaunchedProgramMustBeInstalled) {
    const auto withLaunch = [](const std::string& launch) {
        std::string text = kSound;
        text.replace(text.find("Launch="), 30, "Launch=" + launch + "\n");
        return Check(text);
    };
    ExpectFinding(withLaunch("<INSTALLDIR>tool.exe,/q"), 2, flError,
                  "Launch names \"tool.exe\", which no [Files] or [WorkStation] entry installs");
    ExpectFinding(withLaunch("C:\\Windows\\notepad.exe"), 2, flError,
                  "Launch begins with no [Directories] row's tag");
    ExpectFinding(withLaunch("<SUB2>app.exe"), 2, flError, "Launch begins with no [Directories] row's tag");
    EXPECT_TRUE(withLaunch("<SUB1><INSTALLDIR>manual.txt").empty());
    EXPECT_TRUE(withLaunch("<installdir>APP.EXE").empty());
}

TEST(CheckSetupConfig, WhatTheSetDoesNotHold) {
    TDistributionFacts facts{3, std::vector<std::string>{"app.exe"}, {}};
    const auto findings = Check(kSound.substr(0, 15) + "Install Disks=2\n" + kSound.substr(15), facts);
    ExpectFinding(findings, 2, flError, "\"Install Disks\" is 2, the set has 3 volumes");
    ExpectFinding(findings, 4, flError, "the set holds no logo.gif");
    ExpectFinding(findings, 13, flError, "the set holds no manual.txt");
    // The licence is optional: without it the wizard skips its page.
    ExpectFinding(findings, 1, flWarning, "the set holds no license.txt");
    // Without the key the setup reads 0, reported where the key belongs.
    facts.HeldNames->push_back("license.txt");
    const auto noKey = Check(kSound, facts);
    ExpectFinding(noKey, 1, flError, "\"Install Disks\" is 0, the set has 3 volumes");
}

TEST(CheckSetupConfig, SourcesThatAreNotThere) {
    TDistributionFacts facts = kSoundSet;
    facts.Volumes.reset();
    facts.SourceExists = [](const std::string& source) { return source != "docs\\manual.txt"; };
    const auto findings = Check(kSound, facts);
    ExpectFinding(findings, 12, flError, "the source docs\\manual.txt does not exist");
    EXPECT_EQ(findings.size(), 1u);
}

TEST(CheckSetupConfig, FindingsAreWordedAsCompilersWordThem) {
    EXPECT_EQ(FindingLine("dist/install.cfg", {12, flError, "text"}), "dist/install.cfg:12: error: text");
    EXPECT_EQ(FindingLine("install.cfg", {3, flWarning, "x"}), "install.cfg:3: warning: x");
    EXPECT_FALSE(HasError({{3, flWarning, "x"}}));
    EXPECT_TRUE(HasError({{3, flWarning, "x"}, {4, flError, "y"}}));
}

// The check's table of keys is the loader's: each key, given two values, loads two configurations.
TEST(SetupConfigKeys, EveryListedKeyIsReadByTheLoader) {
    for (const TMainKey& key : kMainKeys) {
        const bool text = key.Kind == mkString;
        SetupConfig a, b;
        LoadSetupConfig(
            *TProfileReader::FromText(std::string("[Setup - Main]\n") + key.Name + "=" + (text ? "a" : "0")),
            a);
        LoadSetupConfig(
            *TProfileReader::FromText(std::string("[Setup - Main]\n") + key.Name + "=" + (text ? "b" : "1")),
            b);
        EXPECT_FALSE(a == b) << key.Name;
    }
}

TEST(ProfileReaderLines, LinesAreNumberedAsAnEditorShowsThem) {
    const auto reader = TProfileReader::FromText("; top\r\n[A]\r\n\r\nk=1\rm=2\n\n[B]\nk=3\n");
    EXPECT_EQ(reader->SectionLine("a"), 2);
    EXPECT_EQ(reader->KeyLine("A", "K"), 4);
    EXPECT_EQ(reader->KeyLine("A", "m"), 5);
    EXPECT_EQ(reader->SectionLine("B"), 7);
    EXPECT_EQ(reader->KeyLine("B", "k"), 8);
    EXPECT_EQ(reader->KeyLine("B", "none"), 0);
    EXPECT_EQ(reader->SectionLine("C"), 0);
}

struct TContrastCase {
    uint32_t First;
    uint32_t Second;
    double Ratio; // as the guidelines' own examples and calculators give it
};

TEST(ColourContrast, RatiosOfTheGuidelines) {
    const TContrastCase cases[] = {
        {0x000000, 0xFFFFFF, 21.0},  {0xFFFFFF, 0xFFFFFF, 1.0},
        {0x767676, 0xFFFFFF, 4.54},  {0xFF0000, 0xFFFFFF, 8.59}, // blue ($00BBGGRR) on white
        {0x0000FF, 0xFFFFFF, 4.00},                              // red on white
        {0x800000, 0x000000, 1.31},                              // navy on black: the old sample's caption
        {0x00FF00, 0x000000, 15.30},                             // green on black
    };
    for (const TContrastCase& c : cases) {
        EXPECT_NEAR(ContrastRatio(c.First, c.Second), c.Ratio, 0.01)
            << std::hex << c.First << " " << c.Second;
        EXPECT_DOUBLE_EQ(ContrastRatio(c.First, c.Second), ContrastRatio(c.Second, c.First));
    }
}

TEST(CheckSetupConfig, TextColoursThatDoNotReadOnTheGradientAreWarnedOf) {
    // Black headers on navy to black, the caption bars' text the header's: both header colours warned
    // of, on their own lines (the second one's default on the section's line), each naming the end.
    const auto dark = Check("[Setup - Main]\n"       // 1
                            "Dither From=0x800000\n" // 2
                            "Dither To=0\n"          // 3
                            "Header Font Color=0\n"  // 4
                            "[Directories]\nDir1=<INSTALLDIR>~\n");
    ExpectFinding(dark, 4, flWarning,
                  "\"Header Font Color\" on \"Dither From\" has a contrast of 1.3:1 (4.5:1");
    ExpectFinding(dark, 1, flWarning, "\"Header2 Font Color\" on \"Dither From\"");
    // White with the same gradient reads on both ends: nothing to say.
    const auto white = Check("[Setup - Main]\nDither From=0x800000\nDither To=0\nHeader Font Color=16777215\n"
                             "Header2 Font Color=16777215\n[Directories]\nDir1=<INSTALLDIR>~\n");
    EXPECT_TRUE(white.empty()) << white.front().Text;
    // Only the end that fails is named: black on white to black.
    const auto half =
        Check("[Setup - Main]\nDither From=16777215\nHeader Font Color=0\nHeader2 Font Color=0\n"
              "[Directories]\nDir1=<INSTALLDIR>~\n");
    ExpectFinding(half, 3, flWarning, "on \"Dither To\" has a contrast of 1.0:1");
    // A file that chooses no colour keeps the design's look, and a system colour follows the theme.
    EXPECT_TRUE(Check("[Setup - Main]\nShow Re-Boot=0\n[Directories]\nDir1=<INSTALLDIR>~\n").empty());
    EXPECT_TRUE(Check("[Setup - Main]\nDither From=$80000005\nDither To=$80000005\n"
                      "[Directories]\nDir1=<INSTALLDIR>~\n")
                    .empty());
}

// A German file with one mistake of each kind, and what the check says of each, by line.
TEST(CheckLanguageFile, FindsUnknownTwiceUndecodableAndValuelessPlacesAndEveryMissingKey) {
    const std::string file = "[Language]\n"                              // 1
                             "CodePage=1252\n"                           // 2
                             "[Texts]\n"                                 // 3
                             "NextButton=&Weiter\n"                      // 4
                             "NextButon=&Weiter\n"                       // 5
                             "nextbutton=&Vor\n"                         // 6
                             "RemoveQuestion=%2 entfernen?\n"            // 7
                             "Removing=\x81 wird entfernt: %1\n"         // 8
                             "InsertDisk=\"Diskette %1, 100%% voll\"\n"; // 9
    // A byte the code page lacks, as iconv or the system would refuse it.
    const auto decodes = [](const std::string& text, int codePage) {
        return codePage == 1252 && text.find('\x81') == std::string::npos;
    };
    const std::vector<TConfigFinding> findings = CheckLanguageFile(*TProfileReader::FromText(file), decodes);
    ExpectFinding(findings, 5, flWarning, "no text has the key \"NextButon\"");
    ExpectFinding(findings, 6, flError, "given twice");
    ExpectFinding(findings, 7, flError, "a place %2 with no value: it has 1 value");
    ExpectFinding(findings, 8, flError, "no text of code page 1252");
    for (int line : {1, 2, 4, 9}) {
        for (const TConfigFinding& f : findings) EXPECT_NE(f.Line, line) << f.Text;
    }
    int missing = 0;
    for (const TConfigFinding& f : findings) missing += f.Line == 3 && f.Level == flWarning;
    EXPECT_EQ(missing, kTextCount - 4) << "every key but the four given";
}

TEST(CheckLanguageFile, BadCodePageAndNoTextsSection) {
    const auto findings = CheckLanguageFile(*TProfileReader::FromText("[Language]\nCodePage=shift-jis\n"));
    ExpectFinding(findings, 2, flError, "CodePage is no code page number");
    ExpectFinding(findings, 1, flError, "no [Texts] section");
}

TEST(CheckLanguageFile, ShippedFilesHaveNoFindings) {
    for (const TLanguageFile& language : BuiltInLanguages())
        EXPECT_EQ(CheckLanguageFile(*TProfileReader::FromText(language.Text)), std::vector<TConfigFinding>{})
            << language.Code;
}

TEST(CheckSetupConfig, LanguagesTheSetupCannotShowAreNamed) {
    TDistributionFacts facts;
    facts.HeldNames =
        std::vector<std::string>{"license.txt", "logo.gif", "app.exe", "manual.txt", "LANG-SV.INI"};
    const std::string main = "[Setup - Main]\n";
    const auto findings = Check(main + "Languages=en, ja, sv, pt\n" + kSound.substr(main.size()), facts);
    std::vector<std::string> named;
    for (const TConfigFinding& f : findings)
        if (f.Text.starts_with("Languages names")) named.push_back(f.Text.substr(16, 2));
    EXPECT_EQ(named, std::vector<std::string>{"pt"});
}

} // namespace
} // namespace yar
