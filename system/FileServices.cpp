// The parts of the file services that are the same on every platform.
#include "system/FileServices.h"

#include "system/AccessLists.h"
#include "system/SystemRandom.h"

namespace yar {

void ForceDirectories(const std::string& dir) {
    ForceDirectories(dir, DirectoryExistsAt, [](const std::string& d) { MakeDirectory(d); });
}

std::string WithoutTrailingDelimiters(std::string dir) {
    while (!dir.empty() && IsPathDelimiter(dir.back()) && !IsDriveRoot(dir))
        dir = ExcludeTrailingDelimiter(dir);
    return dir;
}

void CleanWorkDir(const std::string& dir) {
    if (dir.empty() || IsDriveRoot(dir)) return;
    // Read-only files refuse; that is expected.
    for (const std::string& name : FileNamesIn(dir)) RemoveFileAt(JoinPath(dir, name));
    RemoveDirectoryAt(dir);
}

std::string PrivateDirectoryName(const std::string& prefix, const std::string& randomBytes) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz234567";
    std::string name = prefix;
    for (const char byte : randomBytes) name += kLetters[static_cast<unsigned char>(byte) % 32];
    return name;
}

std::string CreatePrivateDirectory(const std::string& parent, const std::string& prefix) {
    if (parent.empty()) throw EInOutError(0, "No temporary directory");
    // A name taken is another account's, or chance: either way another name is tried.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string bytes(kPrivateNameLetters, '\0');
        for (char& byte : bytes) {
            const std::optional<uint32_t> word = SystemRandomWord();
            if (!word) throw EInOutError(0, "The system gives no random numbers");
            byte = static_cast<char>(*word & 0xFF);
        }
        std::string path = JoinPath(parent, PrivateDirectoryName(prefix, bytes));
        if (MakePrivateDirectory(path)) return path;
    }
    throw EInOutError(0, "No new directory can be made in " + parent);
}

std::optional<std::string> OthersMayChange(const std::string& path, uint32_t rights) {
    return OthersMayChangeReason(ObjectSecurityAt(path), CurrentAccountSid(), rights);
}

EInOutError::EInOutError(int errorCode, const std::string& message)
    : std::runtime_error(message), FErrorCode(errorCode) {}

std::optional<TDosDateTime> DecodeDosDateTime(uint32_t dosDateTime) {
    const uint32_t date = dosDateTime >> 16;
    const uint32_t time = dosDateTime & 0xFFFFu;
    const TDosDateTime t{static_cast<int>((date >> 9) + 1980), static_cast<int>((date >> 5) & 0x0F),
                         static_cast<int>(date & 0x1F),        static_cast<int>(time >> 11),
                         static_cast<int>((time >> 5) & 0x3F), static_cast<int>((time & 0x1F) * 2)};
    if (t.Month < 1 || t.Month > 12 || t.Day < 1 || t.Day > 31 || t.Hour > 23 || t.Minute > 59 ||
        t.Second > 59)
        return std::nullopt;
    return t;
}

} // namespace yar
