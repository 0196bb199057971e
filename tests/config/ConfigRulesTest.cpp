#include <gtest/gtest.h>

#include "config/ConfigRules.h"

namespace yar {
namespace {

struct IntCase {
    const char* Text;
    bool Converts;
    int32_t Value;
};

TEST(StrToIntDef, AcceptsWhatTheRuntimeValAccepts) {
    const IntCase cases[] = {
        {"0", true, 0},
        {"42", true, 42},
        {"   42", true, 42}, // leading blanks are skipped
        {"+42", true, 42},
        {"-42", true, -42},
        {"-0", true, 0},
        {"007", true, 7},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},
        {"$FF00", true, 65280},
        {"$ff00", true, 65280},
        {"$7FFFFFFF", true, 2147483647},
        {"$80000000", true, INT32_MIN}, // hexadecimal takes the bits as they are
        {"$FFFFFFFF", true, -1},
        {"$000000000001", true, 1}, // leading zeros never overflow
        {"  $10", true, 16},
    };
    for (const IntCase& c : cases) {
        int32_t value = 12345;
        EXPECT_EQ(TryStrToInt(c.Text, value), c.Converts) << c.Text;
        EXPECT_EQ(value, c.Value) << c.Text;
    }
}

TEST(StrToIntDef, RejectsWhatTheRuntimeValRejects) {
    const char* rejected[] = {
        "",           "   ",  "-",          "+",           "$",          "42 ", // trailing blank
        "4 2",        "\t42", "42abc",      "0x10",        "x10",        "-$10",        "$-10",
        "+-1",        "1e3",  "2147483648", "-2147483649", "4294967296", "99999999999", "$100000000",
        "$FFFFFFFFF", "$G",   "12$",
    };
    for (const char* text : rejected) EXPECT_EQ(StrToIntDef(text, -777), -777) << '"' << text << '"';
}

TEST(ConfigInteger, HexPrefixNeedsMoreThanTwoCharacters) {
    EXPECT_EQ(ConfigInteger("0xFF00", 16711680), 65280);
    EXPECT_EQ(ConfigInteger("0XFF00", 16711680), 65280);
    EXPECT_EQ(ConfigInteger("$FF00", 16711680), 65280);
    EXPECT_EQ(ConfigInteger("0x", 16711680), 16711680);
    EXPECT_EQ(ConfigInteger("0X", 16711680), 16711680);
    EXPECT_EQ(ConfigInteger("0xFFFFFFFF", 0), -1);
    EXPECT_EQ(ConfigInteger("0x$10", 7), 7); // becomes "$$10"
    EXPECT_EQ(ConfigInteger("00x10", 7), 7);
    EXPECT_EQ(ConfigInteger("0", 7), 0);
    EXPECT_EQ(ConfigInteger("", 7), 7);
    // A blank before the prefix hides it, and the runtime's Val reads no "0x" itself.
    EXPECT_EQ(ConfigInteger(" 0x10", 7), 7);
}

TEST(ConfigBoolean, AnyNumberButZeroIsTrue) {
    EXPECT_TRUE(ConfigBoolean("1", false));
    EXPECT_TRUE(ConfigBoolean("2", false));
    EXPECT_TRUE(ConfigBoolean("-1", false));
    EXPECT_TRUE(ConfigBoolean("0x0100", false));
    EXPECT_FALSE(ConfigBoolean("0", true));
    EXPECT_FALSE(ConfigBoolean("$0", true));
    // Words do not convert: the fallback stands.
    EXPECT_TRUE(ConfigBoolean("no", true));
    EXPECT_FALSE(ConfigBoolean("yes", false));
    EXPECT_TRUE(ConfigBoolean("", true));
    EXPECT_FALSE(ConfigBoolean("", false));
}

TEST(TakeField, SplitsAtTheFirstSeparatorAndKeepsAShortRemainder) {
    std::string rest = "a~b~c";
    EXPECT_EQ(TakeField(rest), "a");
    EXPECT_EQ(rest, "b~c");
    EXPECT_EQ(TakeField(rest), "b");
    EXPECT_EQ(rest, "c");
    EXPECT_EQ(TakeField(rest), "c");
    EXPECT_EQ(rest, "c"); // no separator left: the remainder stays
    EXPECT_EQ(TakeField(rest), "c");

    std::string empties = "~~x";
    EXPECT_EQ(TakeField(empties), "");
    EXPECT_EQ(TakeField(empties), "");
    EXPECT_EQ(empties, "x");

    std::string launch = "<INSTALLDIR>prog.exe,/s ~x";
    EXPECT_EQ(TakeField(launch, kLaunchSeparator), "<INSTALLDIR>prog.exe");
    EXPECT_EQ(launch, "/s ~x");
}

TEST(SplitFields, LastFieldIsTheWholeRemainder) {
    EXPECT_EQ(
        SplitFields("Name~<INSTALLDIR>a.exe~X~~<INSTALLDIR>a.ico~Group~Sub", 6),
        (std::vector<std::string>{"Name", "<INSTALLDIR>a.exe", "X", "", "<INSTALLDIR>a.ico", "Group~Sub"}));
    // A workstation value with two fields: the third repeats the second.
    EXPECT_EQ(SplitFields("app.dll~<INSTALLDIR>", 3),
              (std::vector<std::string>{"app.dll", "<INSTALLDIR>", "<INSTALLDIR>"}));
    EXPECT_EQ(SplitFields("only", 3), (std::vector<std::string>{"only", "only", "only"}));
    EXPECT_EQ(SplitFields("a~b", 1), (std::vector<std::string>{"a~b"}));
    EXPECT_TRUE(SplitFields("a~b", 0).empty());
}

TEST(ConfigLaunch, LaunchPreselectedUnlessEmptyOrAChainedSetup) {
    EXPECT_FALSE(LaunchPreselected(""));
    EXPECT_TRUE(LaunchPreselected("<INSTALLDIR>app.exe"));
    EXPECT_TRUE(LaunchPreselected("<INSTALLDIR>app.exe,/s"));
    EXPECT_FALSE(LaunchPreselected("<INSTALLDIR>Setup.exe"));
    EXPECT_FALSE(LaunchPreselected("<INSTALLDIR>disk2\\sEtUp.EXE,/q"));
    EXPECT_TRUE(LaunchPreselected("<INSTALLDIR>setupx.exe"));
    EXPECT_TRUE(LaunchPreselected("<INSTALLDIR>install.exe"));
}

} // namespace
} // namespace yar
