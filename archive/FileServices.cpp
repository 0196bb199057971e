// The parts of the file services that are the same on every platform.
#include "archive/FileServices.h"

namespace yar {

EInOutError::EInOutError(int errorCode, const std::string& message)
    : std::runtime_error(message), FErrorCode(errorCode) {}

std::optional<TDosDateTime> DecodeDosDateTime(uint32_t dosDateTime) {
    const uint32_t date = dosDateTime >> 16;
    const uint32_t time = dosDateTime & 0xFFFFu;
    const TDosDateTime t{static_cast<int>((date >> 9) + 1980), static_cast<int>((date >> 5) & 0x0F),
                         static_cast<int>(date & 0x1F),        static_cast<int>(time >> 11),
                         static_cast<int>((time >> 5) & 0x3F), static_cast<int>((time & 0x1F) * 2)};
    if (t.Month < 1 || t.Month > 12 || t.Day < 1 || t.Day > 31 || t.Hour > 23 || t.Minute > 59 ||
        t.Second > 59)
        return std::nullopt;
    return t;
}

} // namespace yar
