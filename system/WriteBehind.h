// Files written on a second thread while the caller makes the next ones' bytes. What the caller writes
// is gathered into batches; each batch is created, written and closed, in the order given, on a thread
// of its own while the caller fills the next one, so that no more than two batches are held at a time.
// A failure of a batch is raised to the caller at its next hand-over, or at Finish, with its own type and
// message; nothing is written after it.
#pragma once

#include "system/Streams.h"

#include <cstddef>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace yar {

class TBackgroundTask;

class TWriteBehind final : public TStream {
public:
    // A batch is handed over once it holds batchBytes bytes, or kBatchFiles files (the one carried on from
    // the batch before counts too).
    explicit TWriteBehind(std::size_t batchBytes = kBatchBytes);
    // Waits for the batch being written; what was gathered and not handed over is dropped, unwritten.
    ~TWriteBehind() override;
    TWriteBehind(const TWriteBehind&) = delete;
    TWriteBehind& operator=(const TWriteBehind&) = delete;

    // The bytes written from now on go to a new file, fileName opened as TFileStream's fmCreate with
    // exclusive sharing, once the file before it is closed.
    void Create(const std::string& fileName);
    // Gathers bytes for the file named last.
    int32_t Write(const void* buffer, int32_t count) override;
    int32_t Read(void* buffer, int32_t count) override;
    // Only tells where the file named last stands: (0, soCurrent) or (0, soEnd); any other is refused (-1).
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;

    // Writes out everything gathered, closes the last file and waits for it: every file named so far is
    // then complete. Raises a failure not raised yet.
    void Finish();
    // Finish for a caller that already has an error on its way: a failure of the writing, which that
    // error explains, is dropped.
    void FinishAfterFailure() noexcept;

    static constexpr std::size_t kBatchBytes = std::size_t{1} << 20;
    static constexpr std::size_t kBatchFiles = 64;

private:
    // One file to begin (FileName not empty), then Length bytes of Bytes from Offset for it.
    struct TStep {
        std::string FileName;
        std::size_t Offset = 0;
        std::size_t Length = 0;
    };
    // Bytes holds FBatchBytes, made once, uninitialised: every byte of it is written before it is used.
    struct TBatch {
        std::vector<TStep> Steps;
        std::unique_ptr<uint8_t[]> Bytes;
        std::size_t Used = 0;
    };

    // Waits for the batch being written and raises its failure, once.
    void WaitForWriting();
    void HandOver();
    // The batch FWriting, on whichever thread runs it.
    static void WriteBatch(void* self);
    void WriteSteps() noexcept;

    std::size_t FBatchBytes;
    TBatch FGathering;
    // Touched only by the writing thread while FTask runs.
    TBatch FWriting;
    std::unique_ptr<TFileStream> FFile;
    std::exception_ptr FFailure;
    std::unique_ptr<TBackgroundTask> FTask;
    // Once a failure is known nothing more is written.
    bool FFailed = false;
    int64_t FFileSize = 0;
};

} // namespace yar
