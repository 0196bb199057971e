#include "archive/CompressionMethods.h"

#include "archive/Decoders.h"

namespace yar {

namespace {

constexpr std::array<TMethodRow, kMethodCount> kMethods{{
    {coNone, "NON", [](TCompThreadSafety& s, int32_t) { ExpandNone(s); }, "none"},
    {coRLE, "RLE", [](TCompThreadSafety& s, int32_t) { ExpandRLE(s); }, "rle"},
    {coLZH, "LZH", ExpandLZH, "lzh"},
    {coCustom, "CUS", nullptr, nullptr},
    {coLZH5, "LH5", ExpandLH5, "lh5"},
    {coLZH7, "LH7", ExpandLH7, "lh7"},
}};

// A value without its row leaves a row of zeros, or rows out of order: either fails here.
constexpr bool EveryRowAtItsOrdinal() {
    for (std::size_t i = 0; i < kMethods.size(); ++i)
        if (static_cast<std::size_t>(kMethods[i].Method) != i || kMethods[i].Id == nullptr) return false;
    return true;
}
static_assert(EveryRowAtItsOrdinal(), "each TCompressionMethod value needs its row, in ordinal order");

} // namespace

const std::array<TMethodRow, kMethodCount>& CompressionMethods() {
    return kMethods;
}

const TMethodRow* MethodRow(uint8_t method) {
    return method < kMethods.size() ? &kMethods[method] : nullptr;
}

std::optional<TCompressionMethod> MethodOfToolName(std::string_view name) {
    for (const TMethodRow& row : kMethods)
        if (row.ToolName != nullptr && name == row.ToolName) return row.Method;
    return std::nullopt;
}

} // namespace yar
