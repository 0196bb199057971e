#include "config/SetupSwitches.h"

#include "config/Languages.h"
#include "util/Text.h"

#include <array>

namespace yar {

namespace {

enum TValueUse { vuNone, vuRequired, vuOptional };

struct TSwitchName {
    const char* Name;
    TValueUse Value;
};

constexpr std::array<TSwitchName, 16> kSwitches = {{
    {"SILENT", vuNone},
    {"VERYSILENT", vuNone},
    {"DIR", vuRequired},
    {"TYPE", vuRequired},
    {"FOLDERS", vuOptional},
    {"OVERWRITE", vuRequired},
    {"FILEERRORS", vuRequired},
    {"NOLAUNCH", vuNone},
    {"NORESTART", vuNone},
    {"ALLOWRESTART", vuNone},
    {"LOG", vuOptional},
    {"LOADINF", vuRequired},
    {"SAVEINF", vuRequired},
    {"LANG", vuRequired},
    {"?", vuNone},
    {"HELP", vuNone},
}};

const TSwitchName* FindSwitch(std::string_view name) {
    for (const TSwitchName& entry : kSwitches)
        if (SameText(entry.Name, name)) return &entry;
    return nullptr;
}

void Apply(TSetupSwitches& s, const std::string& name, const std::string& value) {
    const std::string what = "/" + name;
    if (name == "SILENT") {
        if (s.Mode != rmVerySilent) s.Mode = rmSilent;
    } else if (name == "VERYSILENT") {
        s.Mode = rmVerySilent;
    } else if (name == "DIR") {
        s.Answers.Dir = value;
    } else if (name == "TYPE") {
        s.Answers.MinInstall = InstallTypeIsMin(value, what);
    } else if (name == "FOLDERS") {
        ParseFolderWords(value, what, s.Answers);
    } else if (name == "OVERWRITE") {
        s.Answers.Overwrite = YesNo(value, what);
    } else if (name == "FILEERRORS") {
        s.Answers.IgnoreFileErrors = IgnoresFileErrors(value, what);
    } else if (name == "NOLAUNCH") {
        s.NoLaunch = true;
    } else if (name == "NORESTART") {
        s.NoRestart = true;
    } else if (name == "ALLOWRESTART") {
        s.AllowRestart = true;
    } else if (name == "LOG") {
        s.Log = value;
    } else if (name == "LOADINF") {
        s.LoadInf = value;
    } else if (name == "SAVEINF") {
        s.SaveInf = value;
    } else if (name == "LANG") {
        // The code names a file lang-<code>.ini: nothing else may reach the name.
        if (!LanguageCodeOfFileName(LanguageFileName(value)))
            throw ESwitchError("The switch /LANG needs a language code such as de or ja: " + value);
        s.Language = LowerCase(value);
    } else {
        s.Help = true;
    }
}

// A switch whose value is missing where it needs one, or given where it takes none.
void CheckValue(const TSwitchName& known, const std::string& upper, const std::string& arg,
                std::size_t equals) {
    const bool hasValue = equals != std::string::npos;
    if (known.Value == vuNone && hasValue)
        throw ESwitchError("The switch /" + upper + " takes no value: " + arg);
    if (known.Value == vuRequired && (!hasValue || equals + 1 == arg.size()))
        throw ESwitchError("The switch /" + upper + " needs a value: /" + upper + "=...");
}

[[noreturn]] void BadWord(std::string_view word, std::string_view what, std::string_view expected) {
    throw ESwitchError("Bad value \"" + std::string(word) + "\" for " + std::string(what) + ": expected " +
                       std::string(expected) + ".");
}

} // namespace

TSetupAnswers MergeAnswers(const TSetupAnswers& first, const TSetupAnswers& second) {
    TSetupAnswers merged = first;
    if (!merged.Dir) merged.Dir = second.Dir;
    if (!merged.MinInstall) merged.MinInstall = second.MinInstall;
    if (!merged.FolderStartMenu) merged.FolderStartMenu = second.FolderStartMenu;
    if (!merged.FolderDesktop) merged.FolderDesktop = second.FolderDesktop;
    if (!merged.Desktop) merged.Desktop = second.Desktop;
    if (!merged.StartMenu) merged.StartMenu = second.StartMenu;
    if (!merged.EndChoice) merged.EndChoice = second.EndChoice;
    if (!merged.Overwrite) merged.Overwrite = second.Overwrite;
    if (!merged.IgnoreFileErrors) merged.IgnoreFileErrors = second.IgnoreFileErrors;
    return merged;
}

TSetupSwitches ParseSetupSwitches(const std::vector<std::string>& args) {
    TSetupSwitches switches;
    bool sourceSeen = false;
    for (const std::string& arg : args) {
        const bool marked = !arg.empty() && (arg[0] == '/' || arg[0] == '-');
        const std::size_t equals = arg.find('=');
        const std::string name =
            marked ? arg.substr(1, equals == std::string::npos ? equals : equals - 1) : "";
        const TSwitchName* known = marked ? FindSwitch(name) : nullptr;
        if (known == nullptr) {
            // Not a switch: the directory argument as ever; only the first one counts.
            if (!sourceSeen) switches.SourceDir = arg;
            sourceSeen = true;
            continue;
        }
        const std::string upper = UpperCase(name);
        CheckValue(*known, upper, arg, equals);
        Apply(switches, upper, equals != std::string::npos ? arg.substr(equals + 1) : std::string());
    }
    return switches;
}

bool AsksNothing(const std::vector<std::string>& args) {
    for (const std::string& arg : args) try {
            if (ParseSetupSwitches({arg}).Unattended()) return true;
        } catch (const ESwitchError&) {
            // This one is the bad one.
        }
    return false;
}

bool InstallTypeIsMin(std::string_view word, std::string_view what) {
    if (SameText(word, "full")) return false;
    if (SameText(word, "min")) return true;
    BadWord(word, what, "full or min");
}

std::string InstallTypeWord(bool minInstall) {
    return minInstall ? "min" : "full";
}

bool YesNo(std::string_view word, std::string_view what) {
    if (SameText(word, "yes")) return true;
    if (SameText(word, "no")) return false;
    BadWord(word, what, "yes or no");
}

bool IgnoresFileErrors(std::string_view word, std::string_view what) {
    if (SameText(word, "ignore")) return true;
    if (SameText(word, "abort")) return false;
    BadWord(word, what, "ignore or abort");
}

std::string FileErrorsWord(bool ignore) {
    return ignore ? "ignore" : "abort";
}

std::string YesNoWord(bool yes) {
    return yes ? "yes" : "no";
}

TEndChoice EndChoiceFromWord(std::string_view word, std::string_view what) {
    if (SameText(word, "launch")) return ecLaunch;
    if (SameText(word, "return")) return ecReturnToWindows;
    if (SameText(word, "restart")) return ecRestart;
    BadWord(word, what, "launch, return or restart");
}

std::string EndChoiceWord(TEndChoice choice) {
    switch (choice) {
    case ecLaunch:
        return "launch";
    case ecRestart:
        return "restart";
    case ecReturnToWindows:
        break;
    }
    return "return";
}

void ParseFolderWords(std::string_view words, std::string_view what, TSetupAnswers& answers) {
    answers.FolderStartMenu = false;
    answers.FolderDesktop = false;
    while (!words.empty()) {
        const std::size_t comma = words.find(',');
        const std::string_view word = words.substr(0, comma);
        if (SameText(word, "desktop"))
            answers.FolderDesktop = true;
        else if (SameText(word, "startmenu"))
            answers.FolderStartMenu = true;
        else if (!word.empty())
            BadWord(word, what, "desktop, startmenu or both");
        words = comma == std::string_view::npos ? std::string_view() : words.substr(comma + 1);
    }
}

std::string FolderWords(bool startMenu, bool desktop) {
    if (startMenu && desktop) return "desktop,startmenu";
    if (desktop) return "desktop";
    return startMenu ? "startmenu" : "";
}

std::string ExitLogText(TExitCode code) {
    return "End: exit code " + std::to_string(static_cast<int>(code));
}

std::string DefaultLogPath(const std::string& tempDir, const std::string& randomPart) {
    const std::string name = "yar-setup-" + randomPart + ".log";
    if (tempDir.empty() || tempDir.back() == '\\') return tempDir + name;
    return tempDir + "\\" + name;
}

const char* const kSwitchHelpText =
    "install.exe [directory] [switches]\r\r"
    "/SILENT\tshow the progress only, ask nothing\r"
    "/VERYSILENT\tshow nothing, ask nothing\r"
    "/DIR=path\tthe installation directory\r"
    "/TYPE=full|min\tthe install type\r"
    "/FOLDERS=desktop,startmenu\tthe program folder's places\r"
    "/OVERWRITE=yes|no\treplace the user's files (default: no)\r"
    "/FILEERRORS=abort|ignore\ta file that cannot be written: stop and undo, or leave it out (default: "
    "abort)\r"
    "/NOLAUNCH\tdo not start the program\r"
    "/NORESTART\tdo not restart Windows; exit code 5 instead\r"
    "/ALLOWRESTART\tunattended, restart Windows to replace files in use (default: exit code 5)\r"
    "/LOG[=file]\twrite a log (default a new %TEMP%\\yar-setup-XXXXXXXX.log)\r"
    "/LOADINF=file\ttake the answers from a file\r"
    "/SAVEINF=file\twrite the answers given to a file\r"
    "/LANG=code\tthe language of the texts (en, de, fr, ja ...)\r"
    "/? or /HELP\tthis list\r\r"
    "Exit codes: 0 installed, 1 bad arguments, 2 cancelled, 3 preparation failed, "
    "4 install stopped, 5 restart needed, 6 installed with files left out.";

} // namespace yar
