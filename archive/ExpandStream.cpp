#include "archive/ExpandStream.h"

#include "archive/ArchiveFormat.h"
#include "archive/CompThreadSafety.h"
#include "archive/CompressionMethods.h"
#include "archive/Decoders.h"
#include "system/TimeSlice.h"

#include <algorithm>
#include <cstring>

namespace yar {

ELZHBadDecodeTable::ELZHBadDecodeTable() : ECompressError("Bad decode table in archive!") {}

int32_t PercentOf(int32_t Done, int32_t Total) {
    if (Total > 100000) return Done / (Total / 100);
    if (Total == 0) return 0; // nothing to do counts as nothing done
    return static_cast<int32_t>(static_cast<int64_t>(Done) * 100 / Total);
}

namespace {

// Calls the handler with percent; false when it asks to stop.
bool ReportProgress(const TShowProgressEvent& handler, int32_t percent) {
    handler(percent);
    return percent != -1;
}

// Frees what one ExpandStream call set up, however the call ends.
class TCallScope {
public:
    explicit TCallScope(TCompThreadSafety& state) : FState(state) {}
    ~TCallScope() {
        FState.InBuf.reset();
        FState.OutBuf.reset();
        FState.LH5.reset();
        FState.LZH.reset();
        FState.Source = nullptr;
        FState.Dest = nullptr;
        FState.Progress = nullptr;
    }
    TCallScope(const TCallScope&) = delete;
    TCallScope& operator=(const TCallScope&) = delete;

private:
    TCompThreadSafety& FState;
};

void StartCall(TCompThreadSafety& s, TStream& dest, TStream& source, int32_t sourceSize, bool keyedInput,
               int32_t key, const TShowProgressEvent* progress) {
    s.Source = &source;
    s.Dest = &dest;
    s.InBuf = std::make_unique_for_overwrite<uint8_t[]>(kCodecBufferSize);
    s.OutBuf = std::make_unique_for_overwrite<uint8_t[]>(kCodecBufferSize);
    s.InPos = s.InEnd = 0;
    s.OutPos = 0;
    s.EndOfInput = false;
    s.InRemaining = std::max(sourceSize, 0); // a negative size stores nothing
    s.InDone = 0;
    s.OutSum = 0;
    s.PrevByte = 0;
    s.RunCount = 0;
    s.XorInput = keyedInput && key != 0;
    const auto ukey = static_cast<uint32_t>(key);
    for (int i = 0; i < 4; ++i) s.KeyBytes[i] = static_cast<uint8_t>(ukey >> (8 * i));
    s.KeyIndex = 0;
    s.Progress = progress;
}

} // namespace

bool TCompThreadSafety::RefillInput() {
    InPos = InEnd;
    if (EndOfInput) return false; // once the input has ended it stays ended for this call
    EndOfInput = true;
    if (InRemaining == 0) return false;
    const int32_t want = std::min(kCodecBufferSize, InRemaining);
    const int32_t got = std::clamp(Source->Read(InBuf.get(), want), 0, want);
    if (got == 0) return false;
    InRemaining -= got;
    InPos = 0;
    InEnd = got;
    if (XorInput) {
        for (int32_t i = 0; i < got; ++i) {
            InBuf[i] ^= KeyBytes[KeyIndex];
            KeyIndex = static_cast<int16_t>((KeyIndex + 1) & 3);
        }
    }
    if (Progress != nullptr) {
        InDone += got;
        if (!ReportProgress(*Progress, PercentOf(InDone, InDone + InRemaining))) {
            InPos = InEnd; // the block just read is not used
            return false;
        }
    }
    GiveUpTimeSlice();
    EndOfInput = false;
    return true;
}

void TCompThreadSafety::FlushFullOutput() {
    FlushBlock(OutBuf.get());
    OutPos = 0;
}

void TCompThreadSafety::FlushBlock(const uint8_t* block) {
    GiveUpTimeSlice();
    OutSum += ByteSum(block, kCodecBufferSize);
    Dest->WriteBuffer(block, kCodecBufferSize);
}

void TCompThreadSafety::FlushFinalOutput() {
    OutSum += ByteSum(OutBuf.get(), static_cast<size_t>(OutPos));
    if (OutPos > 0) Dest->WriteBuffer(OutBuf.get(), OutPos);
    OutPos = 0;
}

void ExpandNone(TCompThreadSafety& s) {
    while (s.InPos < s.InEnd || s.RefillInput()) {
        if (s.OutPos == kCodecBufferSize) s.FlushFullOutput();
        const int32_t n = std::min(s.InEnd - s.InPos, kCodecBufferSize - s.OutPos);
        std::memcpy(s.OutBuf.get() + s.OutPos, s.InBuf.get() + s.InPos, static_cast<size_t>(n));
        s.InPos += n;
        s.OutPos += n;
    }
}

void ExpandStream(TCompThreadSafety& State, TStream& Dest, TStream& Source, int32_t SourceSize,
                  int32_t DestSize, uint8_t Method, int32_t& Checksum, bool KeyedInput, int32_t Key,
                  const TShowProgressEvent& OnShowProgress) {
    const TShowProgressEvent progress = OnShowProgress; // the handler in force for this entry
    const TShowProgressEvent* handler = progress ? &progress : nullptr;
    if (handler != nullptr && !ReportProgress(*handler, 0)) return;
    {
        TCallScope scope(State);
        StartCall(State, Dest, Source, SourceSize, KeyedInput, Key, handler);
        // coCustom belongs to the container; unknown methods produce nothing.
        if (const TMethodRow* row = MethodRow(Method); row != nullptr && row->Decode != nullptr)
            row->Decode(State, DestSize);
        State.FlushFinalOutput();
        Checksum = static_cast<int32_t>(State.OutSum);
    }
    if (handler != nullptr) ReportProgress(*handler, 100);
}

} // namespace yar
