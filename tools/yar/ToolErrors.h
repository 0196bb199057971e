// The yar tool's own failures, by what the user has to change: the command line or a file.
#pragma once

#include <stdexcept>
#include <string>

namespace yar::tool {

// The command line asks for what cannot be done: an option value out of range, or inputs that
// cannot be packed as they are named.
class EUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    // "<option>: <what it takes>", worded as the command-line parser words its own complaints.
    EUsageError(const std::string& option, const std::string& rule)
        : std::runtime_error(option + ": " + rule) {}
};

// A file the tool opens, reads, writes or places itself that fails, or an input that is none.
class EToolFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An existing file the command would replace, without --force.
class EExistingOutput : public std::runtime_error {
public:
    explicit EExistingOutput(const std::string& path)
        : std::runtime_error(path + " exists (use --force to replace it)") {}
};

} // namespace yar::tool
