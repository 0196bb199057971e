#include "tools/yar/TerminalPrompts.h"

#include "system/FileServices.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace yar::tool {

#ifdef _WIN32
// A console, not merely a character device: "< NUL" is one of those too.
static bool IsConsole(DWORD which) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}
bool StdinIsTerminal() {
    return IsConsole(STD_INPUT_HANDLE);
}
bool StderrIsTerminal() {
    return IsConsole(STD_ERROR_HANDLE);
}
#else
bool StdinIsTerminal() {
    return isatty(STDIN_FILENO) != 0;
}
bool StderrIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}
#endif

TTerminalPrompts::TTerminalPrompts(std::optional<std::string> volumesDir, bool interactive, std::istream& in,
                                   std::ostream& out)
    : VolumesDir(std::move(volumesDir)), Interactive(interactive), In(in), Out(out) {}

std::string TTerminalPrompts::ExpectedName() const {
    return SegVolumeFileName(Seg->SegBaseName(), Seg->SegExt(), Seg->VolumeNumber());
}

namespace {
// What is wrong with the file where volume number should be; nothing when it is that volume.
std::optional<std::string> VolumeProblem(const std::string& path, uint16_t number) {
    std::error_code ec;
    const auto status = std::filesystem::status(NativePath(path), ec);
    if (status.type() == std::filesystem::file_type::not_found || ec) return "is missing";
    if (status.type() != std::filesystem::file_type::regular)
        return "is not a regular file"; // a FIFO never ends
    std::ifstream in(NativePath(path), std::ios::binary);
    uint8_t bytes[TSegVolumeRecord::Size] = {};
    in.read(reinterpret_cast<char*>(bytes), sizeof bytes);
    const auto got = in.gcount();
    if (got == 0) return "is empty";
    if (got < static_cast<std::streamsize>(sizeof bytes))
        return "is too short to be a volume (" + std::to_string(got) + " bytes)";
    const TSegVolumeRecord record = DecodeVolumeRecord(bytes);
    if (record.Id != SegVolumeId) return "is no volume of a segment set";
    if (record.SegNumber != number)
        return "is volume " + std::to_string(record.SegNumber) + ", not " + std::to_string(number);
    return std::nullopt;
}
bool HoldsVolume(const std::string& path, uint16_t number) {
    return !VolumeProblem(path, number);
}
// The setup program's boxes speak of buttons; a terminal has none.
std::string TerminalText(std::string text) {
    const std::string button = "press OK, or Cancel to abort";
    const auto at = text.find(button);
    if (at != std::string::npos) text.replace(at, button.size(), "type o to go on, or c to stop");
    return text;
}
std::string Parent(const std::string& dir) {
    return ExtractFilePath(ExcludeTrailingDelimiter(dir));
}
} // namespace

std::optional<std::string> TTerminalPrompts::FindVolume(const std::string& current) const {
    // Where the last volume was, where the first one was, and where the user pointed.
    std::vector<std::string> candidates{current};
    if (!FirstDir.empty()) candidates.push_back(FirstDir);
    if (VolumesDir) candidates.push_back(*VolumesDir);
    // The builder puts the volumes of a fixed-extension set into disk1, disk2, ... beside each other.
    if (!FirstDir.empty())
        candidates.push_back(JoinPath(Parent(FirstDir), "disk" + std::to_string(Seg->VolumeNumber())));
    for (const std::string& dir : candidates)
        if (HoldsVolume(JoinPath(dir, ExpectedName()), Seg->VolumeNumber())) return dir;
    return std::nullopt;
}

bool TTerminalPrompts::InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value) {
    const uint16_t number = Seg->VolumeNumber();
    // The volume is looked for first; after an attempt that failed the user is asked.
    if (!std::exchange(AttemptFailed, false)) {
        if (const auto dir = FindVolume(Value)) {
            Value = *dir;
            if (number == 1) FirstDir = *dir;
            return true;
        }
    }
    if (!Interactive) {
        // A file of the right name that is no good is named as such, not taken for a missing one.
        const std::string where = FirstDir.empty() ? Value : FirstDir;
        for (const std::string& dir : {where, VolumesDir.value_or(where)}) {
            const std::string path = JoinPath(dir, ExpectedName());
            const auto problem = VolumeProblem(path, number);
            if (problem && *problem != "is missing")
                throw EVolumeUnavailable("volume " + std::to_string(number) +
                                         " of the set: " + NativePath(path) + " " + *problem +
                                         "; give the directory that holds it with --volumes DIR");
        }
        throw EVolumeUnavailable("volume " + std::to_string(number) + " of the set (" + ExpectedName() +
                                 ") is not in " + where +
                                 (VolumesDir ? " nor in " + *VolumesDir : std::string()) +
                                 "; give the directory that holds it with --volumes DIR");
    }
    Out << Caption << " (" << ExpectedName() << ")\n" << Prompt << " [" << Value << "] " << std::flush;
    std::string line;
    if (!std::getline(In, line)) return false; // end of input cancels
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) Value = line;
    if (number == 1) FirstDir = Value;
    return true;
}

bool TTerminalPrompts::ErrorOkCancel(const std::string& Text) {
    // The boxes break their lines with a line feed and a carriage return; a terminal needs only the first.
    std::string text;
    for (const char c : Text)
        if (c != '\r') text += c;
    if (!Interactive)
        throw EVolumeUnavailable(text.substr(0, text.find('\n')) + " (" + Seg->VolumePath() + ")");
    AttemptFailed = true;
    for (;;) {
        Out << TerminalText(text) << " [o/c] " << std::flush;
        std::string line;
        if (!std::getline(In, line)) return false;
        const char c =
            line.empty() ? ' ' : static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
        if (c == 'o') return true;
        if (c == 'c') return false;
    }
}

} // namespace yar::tool
