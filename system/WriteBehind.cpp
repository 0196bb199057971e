#include "system/WriteBehind.h"

#include "system/BackgroundTask.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace yar {

TWriteBehind::TWriteBehind(std::size_t batchBytes) : FBatchBytes(batchBytes == 0 ? 1 : batchBytes) {}

TWriteBehind::~TWriteBehind() {
    FTask.reset(); // the thread must not outlive the batch it writes
}

void TWriteBehind::Create(const std::string& fileName) {
    if (FFailed) throw EWriteError(); // the caller went on after a failure it was given
    if (FGathering.Steps.size() >= kBatchFiles) HandOver();
    FGathering.Steps.push_back({fileName, FGathering.Used, 0});
    FFileSize = 0;
}

int32_t TWriteBehind::Write(const void* buffer, int32_t count) {
    if (FFailed) throw EWriteError();
    if (count <= 0) return 0;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    auto left = static_cast<std::size_t>(count);
    while (left > 0) {
        if (FGathering.Used == FBatchBytes) HandOver();
        if (!FGathering.Bytes) FGathering.Bytes = std::make_unique_for_overwrite<uint8_t[]>(FBatchBytes);
        const std::size_t n = std::min(left, FBatchBytes - FGathering.Used);
        // Bytes of a file begun in a batch before continue it.
        if (FGathering.Steps.empty()) FGathering.Steps.push_back({{}, FGathering.Used, 0});
        std::memcpy(FGathering.Bytes.get() + FGathering.Used, bytes, n);
        FGathering.Used += n;
        FGathering.Steps.back().Length += n;
        bytes += n;
        left -= n;
    }
    FFileSize += count;
    return count;
}

int32_t TWriteBehind::Read(void* /*buffer*/, int32_t /*count*/) {
    return 0;
}

int64_t TWriteBehind::Seek(int64_t offset, TSeekOrigin origin) {
    return offset == 0 && origin != TSeekOrigin::soBeginning ? FFileSize : -1;
}

void TWriteBehind::WaitForWriting() {
    if (FTask) {
        FTask->Wait();
        FTask.reset();
    }
    if (FFailure) {
        FFailed = true;
        std::rethrow_exception(std::exchange(FFailure, nullptr));
    }
}

void TWriteBehind::HandOver() {
    WaitForWriting();
    std::swap(FGathering, FWriting);
    FGathering.Steps.clear();
    FGathering.Used = 0;
    FTask = std::make_unique<TBackgroundTask>(&TWriteBehind::WriteBatch, this);
}

void TWriteBehind::Finish() {
    // The last batch is written here: there is nothing left to make beside it.
    WaitForWriting();
    if (!FFailed) {
        std::swap(FGathering, FWriting);
        WriteSteps();
    }
    FGathering = {};
    FWriting = {};
    FFile.reset();
    WaitForWriting();
}

void TWriteBehind::FinishAfterFailure() noexcept {
    try {
        Finish();
    } catch (const std::exception&) {
        // The error already on its way explains this one.
    }
}

void TWriteBehind::WriteBatch(void* self) {
    static_cast<TWriteBehind*>(self)->WriteSteps();
}

void TWriteBehind::WriteSteps() noexcept {
    // The failure goes to the caller as it was raised, so that it sees the type and message a write of
    // its own would have given.
    try {
        for (const TStep& step : FWriting.Steps) {
            if (!step.FileName.empty()) {
                FFile.reset();
                FFile = std::make_unique<TFileStream>(step.FileName, fmCreate | fmShareExclusive);
            }
            if (step.Length == 0) continue;
            if (!FFile) throw EWriteError(); // bytes written before any file was named
            FFile->WriteBuffer(FWriting.Bytes.get() + step.Offset, static_cast<int32_t>(step.Length));
        }
    } catch (...) {
        FFailure = std::current_exception();
        FFile.reset();
    }
}

} // namespace yar
