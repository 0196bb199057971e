// Starting a program (or opening a document) through the shell at the end of the run.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace yar {

class TLauncher {
public:
    TLauncher() = default;
    virtual ~TLauncher() = default;
    TLauncher(const TLauncher&) = delete;
    TLauncher& operator=(const TLauncher&) = delete;

    // Opens file with its default action, the parameters as its command line and directory as its
    // working directory (empty: the current one); true when the shell started it. The program runs
    // on its own: nobody waits for it.
    virtual bool Launch(const std::string& file, const std::string& parameters,
                        const std::string& directory) = 0;
};

struct TLaunchCall {
    std::string File;
    std::string Parameters;
    std::string Directory;

    bool operator==(const TLaunchCall&) const = default;
};
std::ostream& operator<<(std::ostream& out, const TLaunchCall& call);

// Starts nothing: keeps every call in order and answers as it was told, for tests of the callers.
class TRecordedLauncher final : public TLauncher {
public:
    bool Launch(const std::string& file, const std::string& parameters,
                const std::string& directory) override;

    const std::vector<TLaunchCall>& Calls() const { return Calls_; }
    // The answer of the calls from now on (at first true).
    void SetResult(bool started) { Result_ = started; }

private:
    std::vector<TLaunchCall> Calls_;
    bool Result_ = true;
};

} // namespace yar
