#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "system/CodePages.h"

namespace yar {
namespace {

// The same answers from the code page functions under Wine and from iconv natively.
TEST(CodePages, ConvertsWhatBothCodePagesHoldAndNothingElse) {
    struct TCase {
        const char* Text;
        int From;
        int To;
        std::optional<std::string> Expected;
    };
    const TCase cases[] = {
        // "表示": its first character's second byte is a backslash.
        {"\x95\x5C\x8E\xA6", 932, kUtf8, "\xE8\xA1\xA8\xE7\xA4\xBA"},
        {"\xE8\xA1\xA8\xE7\xA4\xBA", kUtf8, 932, "\x95\x5C\x8E\xA6"},
        {"caf\xE9", 1252, kUtf8, "caf\xC3\xA9"},
        {"caf\xE9", 1252, 1250, "caf\xE9"},            // the same byte in Central European
        {"\xE0 bient\xF4t", 1252, 1250, std::nullopt}, // "à" has no form there: no look-alike
        {"caf\xE9", 1252, 932, std::nullopt},
        {"\x82", 932, kUtf8, std::nullopt}, // a lead byte without its second byte
        {"", 932, kUtf8, ""},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ConvertCodePage(c.Text, c.From, c.To), c.Expected)
            << c.Text << " " << c.From << "->" << c.To;
}

} // namespace
} // namespace yar
