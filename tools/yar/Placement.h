// Where extracted files land: each stored path is made safe below the extraction directory, written
// under a temporary name beside its final one and renamed once complete, so that a failure never
// leaves a half-written file under a real name. Existing files stay unless overwriting is allowed.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace yar::tool {

class TPlacement {
public:
    // Creates dir when it is missing.
    TPlacement(std::string dir, bool overwrite);
    ~TPlacement();
    TPlacement(const TPlacement&) = delete;
    TPlacement& operator=(const TPlacement&) = delete;

    // For the container's OnCheckFile: the temporary path to write, "" to skip the entry.
    // The entry before it is complete by now and goes to its final name.
    std::string Place(const std::string& targetPath);
    // The archive's expansion completed: its last file goes to its final name.
    void Commit();
    // The expansion failed: the file being written goes.
    void Discard();

    // Called with each final path once it is in place.
    std::function<void(const std::string& finalPath)> OnPlaced;

    const std::vector<std::string>& Refused() const { return FRefused; } // existing files left alone
    const std::vector<std::string>& Unsafe() const { return FUnsafe; }   // names with nothing left
    std::size_t Placed() const { return FPlaced; }

private:
    std::string FDir;
    bool FOverwrite;
    std::string FPendingTemp, FPendingFinal;
    std::vector<std::string> FRefused, FUnsafe;
    std::vector<std::string> FClaimed; // final paths this run will write
    std::size_t FPlaced = 0;
};

} // namespace yar::tool
