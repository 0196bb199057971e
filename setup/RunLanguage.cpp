#include "setup/RunLanguage.h"

#include "system/CodePages.h"
#include "system/FileServices.h"
#include "toolkit/Application.h"
#include "util/Paths.h"
#include "util/RunLog.h"

#include <algorithm>
#include <fstream>

namespace yar {

namespace {

// Far beyond any language file: a bigger one is no language file and is not read.
constexpr std::streamoff kMaxLanguageFileBytes = 256 * 1024;

std::optional<std::string> ReadLanguageFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return std::nullopt;
    const std::streamoff size = file.tellg();
    if (size < 0 || size > kMaxLanguageFileBytes) return std::nullopt;
    std::string text(static_cast<std::size_t>(size), '\0');
    file.seekg(0);
    if (!file.read(text.data(), static_cast<std::streamsize>(size))) return std::nullopt;
    return text;
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
