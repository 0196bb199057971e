// What the tests read through the system's accessibility interface, as a screen reader reads it.
#pragma once

#include <ole2.h>

#include <string>

namespace yar {

// The text of a BSTR the interface handed over (freed here); the tests' texts are ASCII.
inline std::string TakeBstrText(BSTR text) {
    std::string result;
    if (text)
        for (const wchar_t* c = text; *c; ++c) result += static_cast<char>(*c);
    SysFreeString(text);
    return result;
}

} // namespace yar
