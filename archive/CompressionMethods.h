// The compression methods, one row each: the method byte of an entry header, the archive header's id
// for it, its decoder and what `yar pack --method` calls it. A new method is a value of
// TCompressionMethod, its row here, its decoder (Decoders.h) and its encoder (tools/builder).
#pragma once

#include "archive/ExpandStream.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace yar {

// Decodes one entry on the state ExpandStream set up; destSize is what the entry expands to.
using TDecoder = void (*)(TCompThreadSafety& state, int32_t destSize);

struct TMethodRow {
    TCompressionMethod Method;
    const char* Id;       // three letters in the archive header
    TDecoder Decode;      // nullptr: the container's handler expands it (coCustom)
    const char* ToolName; // nullptr: the tool does not pack it
};

// Every method, at its ordinal.
const std::array<TMethodRow, kMethodCount>& CompressionMethods();
// The row of a method byte; nullptr for a byte no method has.
const TMethodRow* MethodRow(uint8_t method);
// The method `yar pack --method` names so.
std::optional<TCompressionMethod> MethodOfToolName(std::string_view name);

} // namespace yar
