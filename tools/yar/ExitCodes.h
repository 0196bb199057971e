// The exit codes of the yar tool, and the one place that turns a failure into its code and message.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace yar::tool {

enum : int {
    YarExitOk = 0,
    YarExitDamaged = 1,   // a bad checksum, header or record, or a locked entry without its key
    YarExitUsage = 2,     // the command line is wrong, or names inputs that cannot be packed as they are
    YarExitFile = 3,      // a file cannot be opened, read, written or created, or is no set or archive
    YarExitAborted = 4,   // a volume could not be found, or a prompt was cancelled
    YarExitLeftAlone = 5, // existing files kept, or stored names with nothing safe left
};

// Runs the command; an error is printed on standard error as "yar: <message>" and becomes the code of
// its type. Errors of no known type are faults of the tool and pass through.
int RunGuarded(const std::function<int()>& command);

class TYarReader;
class TPlacement;
struct TEntryVerdict;

// An entry in messages: with its archive's template in a set; the archive itself where it has no name.
std::string EntryLabel(const TYarReader& reader, const TEntryVerdict& verdict);

// Reports what an extraction did not write on err, each with its path and why, and returns the code:
// damage first, then entries left alone.
int ExtractionOutcome(const TYarReader& reader, const std::vector<TEntryVerdict>& damage,
                      const TPlacement& placement, std::ostream& err);

} // namespace yar::tool
