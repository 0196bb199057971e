// The component's prompts on a terminal. Before each volume it looks for the volume itself (where
// the set was found, in the directory given with --volumes, and in the disk1, disk2 ... directories
// beside the first volume's), and asks on the terminal only when that fails. Without a terminal a
// volume that cannot be found ends the run with a message saying how to point at it.
#pragma once

#include "archive/Segment.h"
#include "archive/UserPrompts.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>

namespace yar::tool {

// A volume that could not be found or was wrong, and nobody to ask.
class EVolumeUnavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TTerminalPrompts : public TUserPrompts {
public:
    // Interactive prompts read from in and write to out; otherwise every question is an error.
    TTerminalPrompts(std::optional<std::string> volumesDir, bool interactive, std::istream& in,
                     std::ostream& out);
    // The component whose volumes are looked for; set before its run starts.
    void Attach(const TSegCompress& seg) { Seg = &seg; }

    bool ErrorOkCancel(const std::string& Text) override;
    bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value) override;

    // Called after each block read; the tool hangs its progress display here.
    std::function<void()> OnPump;
    void ProcessMessages() override {
        if (OnPump) OnPump();
    }

private:
    std::optional<std::string> FindVolume(const std::string& current) const;
    std::string ExpectedName() const;

    const TSegCompress* Seg = nullptr;
    std::optional<std::string> VolumesDir;
    bool Interactive;
    std::istream& In;
    std::ostream& Out;
    std::string FirstDir;       // where volume 1 was found
    bool AttemptFailed = false; // the volume found was wrong or missing: ask instead of looking
};

// Whether standard input and standard error are terminals.
bool StdinIsTerminal();
bool StderrIsTerminal();

} // namespace yar::tool
