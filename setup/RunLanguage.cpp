#include "setup/RunLanguage.h"

#include "system/CodePages.h"
#include "system/FileServices.h"
#include "toolkit/Application.h"
#include "util/FileBytes.h"
#include "util/Paths.h"
#include "util/RunLog.h"

#include <algorithm>

namespace yar {

namespace {

// Far beyond any language file: a bigger one is no language file and is not read.
constexpr std::size_t kMaxLanguageFileBytes = 256 * 1024;

// The files lie in the run's own working directory, expanded from the checked set.
std::optional<std::string> ReadLanguageFile(const std::string& path) {
    TFileBytes file = ReadFileBytes(path);
    if (!file.Complete || file.Bytes.size() > kMaxLanguageFileBytes) return std::nullopt;
    return std::move(file.Bytes);
}

void Note(TRunLog* log, const std::string& event) {
    if (log != nullptr) log->Write(event);
}

} // namespace

std::vector<TLanguageFile> RunLanguageFiles(const std::string& workDir) {
    std::vector<TLanguageFile> files = BuiltInLanguages();
    if (workDir.empty()) return files;
    for (const std::string& name : FileNamesIn(workDir)) {
        const std::optional<std::string> code = LanguageCodeOfFileName(name);
        if (!code) continue;
        std::optional<std::string> text = ReadLanguageFile(JoinPath(workDir, name));
        if (!text) continue;
        const auto same =
            std::find_if(files.begin(), files.end(), [&](const TLanguageFile& f) { return f.Code == *code; });
        if (same != files.end())
            same->Text = std::move(*text);
        else
            files.push_back({*code, std::move(*text)});
    }
    return files;
}

std::string UseRunLanguage(const std::vector<TLanguageFile>& files, const std::vector<std::string>& allowed,
                           const std::optional<std::string>& forced, TRunLog* log) {
    std::vector<std::string> codes;
    codes.reserve(files.size());
    for (const TLanguageFile& file : files) codes.push_back(file.Code);
    std::string code = ChooseLanguage(codes, allowed, forced, UserInterfaceLanguage());
    const auto file =
        std::find_if(files.begin(), files.end(), [&](const TLanguageFile& f) { return f.Code == code; });
    std::optional<TTexts> texts;
    if (file != files.end())
        texts = LanguageTexts(file->Text, [](const std::string& text, int codePage) {
            return ConvertCodePage(text, codePage, kProgramText);
        });
    if (!texts) {
        Note(log, "Language: " + code + " cannot be shown in this system's code page; English instead");
        code = kEnglish;
        texts = TTexts();
    }
    UseTexts(std::move(*texts));
    Application().SetTitle(Tr(txSetupTitle));
    Note(log, "Language: " + code);
    return code;
}

} // namespace yar
