// Shell shortcuts (.lnk files): what one holds, and the interface the install saves them through.
// TWin32ShellLinks (Win32ShellLinks.h) writes them with the system's shell-link object;
// TRecordedShellLinks keeps what was saved, for tests of the install's rules.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace yar {

struct TShellLink {
    std::string Path;
    std::string WorkingDirectory;
    std::string IconLocation;
    int IconIndex = 0;

    bool operator==(const TShellLink&) const = default;
};

// No shell-link object, or one without the interfaces a save needs.
class EShellLinkError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TShellLinks {
public:
    TShellLinks() = default;
    virtual ~TShellLinks() = default;
    TShellLinks(const TShellLinks&) = delete;
    TShellLinks& operator=(const TShellLinks&) = delete;

    // Writes link as linkFile (a full path ending in ".lnk"). Raises EShellLinkError when no
    // shell-link object can be had; whether the file could be written is not examined, as the
    // install goes on either way.
    virtual void Save(const TShellLink& link, const std::string& linkFile) = 0;
};

class TRecordedShellLinks final : public TShellLinks {
public:
    void Save(const TShellLink& link, const std::string& linkFile) override;

    // Every save in order, repeated ones included.
    const std::vector<std::pair<std::string, TShellLink>>& Saves() const { return Saves_; }
    // The link last saved as linkFile, compared without regard to case as Windows names are.
    std::optional<TShellLink> Find(const std::string& linkFile) const;
    // While failing, Save raises EShellLinkError as without a shell-link object and records nothing.
    void SetFailing(bool failing) { Failing_ = failing; }

private:
    std::vector<std::pair<std::string, TShellLink>> Saves_;
    bool Failing_ = false;
};

} // namespace yar
