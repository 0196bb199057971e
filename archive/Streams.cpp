#include "archive/Streams.h"

namespace yar {

EReadError::EReadError() : EStreamError("Stream read error") {}
EWriteError::EWriteError() : EStreamError("Stream write error") {}
EFOpenError::EFOpenError(const std::string& fileName, const std::string& reason)
    : EStreamError("Cannot open file \"" + fileName + "\". " + reason) {}
EFCreateError::EFCreateError(const std::string& fileName, const std::string& reason)
    : EStreamError("Cannot create file \"" + fileName + "\". " + reason) {}

int64_t TStream::Size() {
    const int64_t here = Seek(0, TSeekOrigin::soCurrent);
    const int64_t end = Seek(0, TSeekOrigin::soEnd);
    Seek(here, TSeekOrigin::soBeginning);
    return end;
}

void TStream::ReadBuffer(void* buffer, int32_t count) {
    if (count != 0 && Read(buffer, count) != count) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, int32_t count) {
    if (count != 0 && Write(buffer, count) != count) throw EWriteError();
}

}  // namespace yar
