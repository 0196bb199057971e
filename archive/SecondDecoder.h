// Entries of an archive decoded and written on a second thread while the expansion decodes others
// itself. The thread takes whole batches of small entries, each read into memory first, so that the two
// threads never share the archive's stream or a codec state; it takes a batch only while it is free.
#pragma once

#include "archive/Compress.h"

#include <exception>
#include <memory>
#include <vector>

namespace yar {

class TBackgroundTask;

class TCompress::TSecondDecoder {
public:
    explicit TSecondDecoder(const TCompress& owner);
    // Waits for the batch being decoded; a batch gathered and not handed over is dropped.
    ~TSecondDecoder();
    TSecondDecoder(const TSecondDecoder&) = delete;
    TSecondDecoder& operator=(const TSecondDecoder&) = delete;

    // Whether the entry goes to the thread now: stored with a method of this system, unlocked, small
    // enough, and the thread free. Raises a failure of the batch before, once.
    bool Takes(const TEntryHeader& Entry);
    // Reads the entry's data from Source, for the thread to expand into TargetFile (a native path).
    void Add(TStream& Source, const TEntryHeader& Entry, const std::string& CompressID,
             const std::string& TargetFile);
    // Decodes what is gathered and waits: every file taken is then written. Raises a failure not
    // raised yet; after one, the entries that followed it in its batch are not written.
    void Finish();
    // Finish for a caller that already has an error on its way, which explains a failure here.
    void FinishAfterFailure() noexcept;

    static constexpr int32_t kMaxEntryBytes = 1 << 20;
    static constexpr std::size_t kBatchBytes = std::size_t{256} << 10;

private:
    struct TJob {
        std::string TargetFile;
        TEntryHeader Header;
        std::string CompressID;
        std::vector<uint8_t> Data;
    };

    void WaitForDecoding();
    static void DecodeBatch(void* self);
    void DecodeJobs() noexcept;

    const TCompress& FOwner;
    std::unique_ptr<TCompThreadSafety> FState;
    std::vector<TJob> FGathered;
    std::size_t FGatheredBytes = 0;
    // Touched only by the thread while FTask runs.
    std::vector<TJob> FDecoding;
    std::exception_ptr FFailure;
    std::unique_ptr<TBackgroundTask> FTask;
};

} // namespace yar
