// Where extracted files land: each stored path is made safe below the extraction directory, written
// into a new file of an unpredictable short name beside its final one and renamed once complete, so
// that a failure never leaves a half-written file under a real name and nothing is ever written
// through a link or over a file that was there. Existing files stay unless overwriting is allowed.
#pragma once

#include "system/Streams.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace yar::tool {

// The extraction target being written: a write that fails says which file and why, and on a full
// disk how much space is left.
class TTargetStream : public TStream {
public:
    TTargetStream(const std::string& tempPath, std::string finalPath);
    int32_t Read(void* buffer, int32_t count) override { return FFile.Read(buffer, count); }
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override { return FFile.Seek(offset, origin); }
    TFileStream& File() { return FFile; }

private:
    TFileStream FFile;
    std::string FFinal;
};

// The message of a write that failed with the platform's error code: a full disk is named as such,
// with the free space left.
std::string WriteFailure(const std::string& path, int errorCode, double freeBytes);

// Creates a new directory in the system's temporary directory that only its owner may enter.
std::string MakePrivateTempDir(const std::string& prefix);

class TPlacement {
public:
    // Creates dir when it is missing.
    TPlacement(std::string dir, bool overwrite);
    ~TPlacement();
    TPlacement(const TPlacement&) = delete;
    TPlacement& operator=(const TPlacement&) = delete;

    // Directories that are symbolic links below dir are gone through only when this is set.
    bool FollowLinks = false;
    // Whether names that differ only in letter case name one file, as on Windows.
#ifdef _WIN32
    bool CaseBlind = true;
#else
    bool CaseBlind = false;
#endif
    // Free bytes where a path goes (below 0: unknown); an entry larger than that is refused at once.
    std::function<double(const std::string& path)> FreeSpace;

    // Creates the temporary file for the stored path and returns its path, "" to skip the entry.
    // The entry before it is complete by now and goes to its final name. Size is what the entry
    // expands to; one that cannot fit raises EToolFileError before any directory is made for it.
    std::string Place(const std::string& targetPath, int64_t size = 0);
    // The file being written since the last Place.
    TTargetStream& Target() {
        return *FTarget;
    }
    // The final path of the file being written.
    const std::string& Pending() const {
        return FPendingFinal;
    }
    // The file is complete: it goes to its final name, with attributes when given.
    void Commit(std::optional<uint16_t> attributes = std::nullopt);
    // The expansion failed: the file being written goes.
    void Discard();

    // Called with each final path once it is in place.
    std::function<void(const std::string& finalPath)> OnPlaced;

    const std::vector<std::string>& Refused() const {
        return FRefused;
    } // existing files left alone
    const std::vector<std::string>& Unsafe() const {
        return FUnsafe;
    } // names with nothing left
    const std::vector<std::string>& Duplicates() const {
        return FDuplicates;
    } // placed once already
    // Entries not written because a directory on their way is a symbolic link: path and link.
    const std::vector<std::pair<std::string, std::string>>& ThroughLinks() const {
        return FThroughLinks;
    }
    // Entries whose file could not be created: path and why.
    const std::vector<std::pair<std::string, std::string>>& Failed() const {
        return FFailed;
    }
    std::size_t Placed() const {
        return FPlaced;
    }

private:
    std::optional<std::string> LinkOnTheWay(const std::string& final) const;
    // Dir is final's directory.
    void CheckSpace(const std::string& final, const std::string& dir, int64_t size);

    std::string FDir;
    bool FOverwrite;
    std::unique_ptr<TTargetStream> FTarget;
    std::string FPendingTemp, FPendingFinal;
    std::vector<std::string> FRefused, FUnsafe, FDuplicates;
    std::vector<std::pair<std::string, std::string>> FThroughLinks, FFailed;
    std::unordered_set<std::string> FClaimed;   // final paths this run writes (folded when case-blind)
    std::unordered_set<std::string> FReadyDirs; // directories made or found free of links by this run
    std::string FSpaceDir;                      // where the free space was last asked
    double FSpaceLeft = 0;                      // what is left of it by this run's own count
    std::size_t FPlaced = 0;
};

} // namespace yar::tool
