#include "archive/SecondDecoder.h"

#include "archive/CompThreadSafety.h"
#include "archive/CompressionMethods.h"
#include "system/BackgroundTask.h"

#include <algorithm>
#include <utility>

namespace yar {

TCompress::TSecondDecoder::TSecondDecoder(const TCompress& owner)
    : FOwner(owner), FState(std::make_unique<TCompThreadSafety>()) {}

TCompress::TSecondDecoder::~TSecondDecoder() {
    FTask.reset(); // the thread must not outlive the batch it decodes
}

bool TCompress::TSecondDecoder::Takes(const TEntryHeader& Entry) {
    // A locked entry's failure takes its file away, and a handler's method is the caller's own: both
    // stay with the caller.
    if (Entry.Lock != 0 || Entry.Method == coCustom || Entry.CompressedSize > kMaxEntryBytes) return false;
    if (FTask && !FTask->Ended()) return false;
    WaitForDecoding();
    return true;
}

void TCompress::TSecondDecoder::Add(TStream& Source, const TEntryHeader& Entry, const std::string& CompressID,
                                    const std::string& TargetFile) {
    // What the archive holds of the data: a cut archive ends it for the decoder as the stream would.
    const int64_t held = std::clamp<int64_t>(Source.Size() - Source.Position(), 0, Entry.CompressedSize);
    TJob job{TargetFile, Entry, CompressID, std::vector<uint8_t>(static_cast<std::size_t>(held))};
    Source.ReadBuffer(job.Data.data(), static_cast<int32_t>(held));
    FGatheredBytes += job.Data.size();
    FGathered.push_back(std::move(job));
    if (FGatheredBytes < kBatchBytes) return;
    FDecoding = std::exchange(FGathered, {});
    FGatheredBytes = 0;
    FTask = std::make_unique<TBackgroundTask>(&TSecondDecoder::DecodeBatch, this);
}

void TCompress::TSecondDecoder::WaitForDecoding() {
    if (FTask) {
        FTask->Wait();
        FTask.reset();
    }
    FDecoding.clear();
    if (FFailure) std::rethrow_exception(std::exchange(FFailure, nullptr));
}

void TCompress::TSecondDecoder::Finish() {
    WaitForDecoding();
    // The last batch is decoded here: there is nothing left to decode beside it.
    FDecoding = std::exchange(FGathered, {});
    FGatheredBytes = 0;
    DecodeJobs();
    WaitForDecoding();
}

void TCompress::TSecondDecoder::FinishAfterFailure() noexcept {
    try {
        Finish();
    } catch (const std::exception&) {
        // The error already on its way explains this one.
    }
}

void TCompress::TSecondDecoder::DecodeBatch(void* self) {
    static_cast<TSecondDecoder*>(self)->DecodeJobs();
}

void TCompress::TSecondDecoder::DecodeJobs() noexcept {
    // The failure goes to the caller as it was raised: the type and message of its own expansion.
    try {
        for (TJob& job : FDecoding) {
            TFileStream out(job.TargetFile, fmCreate | fmShareExclusive);
            TMemoryStream source(std::move(job.Data));
            DecodeIntoFile(out, job.Header.ExpandedSize, [&](TStream& dest) {
                FOwner.ExpandEntryWith(*FState, nullptr, dest, source, job.Header, job.CompressID);
            });
        }
    } catch (...) {
        FFailure = std::current_exception();
    }
}

} // namespace yar
