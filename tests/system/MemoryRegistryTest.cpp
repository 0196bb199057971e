// The rules of registry paths and of the registry kept in memory, on their own: the callers' native
// tests rely on them (the comparison with the system's registry runs under Wine).
#include "system/MemoryRegistry.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

using TNames = std::vector<std::string>;

TEST(KeyPaths, SeparatorsThatAddNothing) {
    EXPECT_EQ(KeyPathNames("Software\\Acme"), (TNames{"Software", "Acme"}));
    EXPECT_EQ(KeyPathNames("\\Software\\\\Acme\\"), (TNames{"Software", "Acme"}));
    EXPECT_EQ(KeyPathNames(" a \\b c"), (TNames{" a ", "b c"})); // blanks belong to the names
    EXPECT_TRUE(KeyPathNames("").empty());
    EXPECT_TRUE(KeyPathNames("\\\\").empty());
    EXPECT_EQ(KeyPathNames(std::string("A\\B\0\\C", 6)), (TNames{"A", "B"}));
    EXPECT_EQ(NormalKeyPath("\\Software\\\\Acme\\Settings\\"), "Software\\Acme\\Settings");
    EXPECT_EQ(NormalKeyPath("\\"), "");
}

class MemoryRegistry : public ::testing::Test {
protected:
    TMemoryRegistry Registry;
};

TEST_F(MemoryRegistry, CreatingMakesEveryMissingParent) {
    EXPECT_TRUE(Registry.KeyExists(rrCurrentUser, ""));
    EXPECT_TRUE(Registry.KeyExists(rrCurrentUser, "\\"));
    EXPECT_FALSE(Registry.KeyExists(rrCurrentUser, "Software"));
    EXPECT_TRUE(Registry.CreateKey(rrCurrentUser, "\\Software\\Acme\\Tool\\Settings"));
    for (const char* key :
         {"Software", "Software\\Acme", "\\Software\\Acme\\Tool", "Software\\Acme\\Tool\\Settings\\"})
        EXPECT_TRUE(Registry.KeyExists(rrCurrentUser, key)) << key;
    EXPECT_TRUE(Registry.CreateKey(rrCurrentUser, "Software\\Acme")); // there already
    EXPECT_TRUE(Registry.CreateKey(rrCurrentUser, "\\"));             // the root
    EXPECT_EQ(Registry.SubKeyNames(rrCurrentUser, ""), TNames{"Software"});
    // A value needs its key; it belongs to that key alone and is no key itself.
    EXPECT_FALSE(Registry.WriteString(rrCurrentUser, "Other\\Key", "v", "x"));
    EXPECT_FALSE(Registry.KeyExists(rrCurrentUser, "Other"));
    ASSERT_TRUE(Registry.WriteString(rrCurrentUser, "Software\\Acme", "v", "x"));
    EXPECT_EQ(Registry.ReadString(rrCurrentUser, "Software", "v"), std::nullopt);
    EXPECT_EQ(Registry.SubKeyNames(rrCurrentUser, "Software\\Acme"), TNames{"Tool"});
}

TEST_F(MemoryRegistry, RootsAreTreesOfTheirOwn) {
    ASSERT_TRUE(Registry.CreateKey(rrLocalMachine, "Software\\Acme"));
    ASSERT_TRUE(Registry.WriteString(rrLocalMachine, "Software\\Acme", "v", "machine"));
    for (TRegRoot other : {rrClassesRoot, rrCurrentUser, rrUsers}) {
        EXPECT_FALSE(Registry.KeyExists(other, "Software")) << other;
        EXPECT_TRUE(Registry.SubKeyNames(other, "").empty()) << other;
    }
    ASSERT_TRUE(Registry.CreateKey(rrCurrentUser, "Software\\Acme"));
    EXPECT_EQ(Registry.ReadString(rrCurrentUser, "Software\\Acme", "v"), std::nullopt);
    EXPECT_TRUE(Registry.DeleteKey(rrCurrentUser, "Software"));
    EXPECT_EQ(Registry.ReadString(rrLocalMachine, "Software\\Acme", "v"), "machine");
}

TEST_F(MemoryRegistry, NamesIgnoreCaseAndKeysKeepTheirFirstSpelling) {
    ASSERT_TRUE(Registry.CreateKey(rrCurrentUser, "Software\\Caf\xe9"));
    ASSERT_TRUE(Registry.CreateKey(rrCurrentUser, "SOFTWARE\\CAF\xc9\\Sub"));
    EXPECT_EQ(Registry.SubKeyNames(rrCurrentUser, ""), TNames{"Software"});
    EXPECT_EQ(Registry.SubKeyNames(rrCurrentUser, "software"), TNames{"Caf\xe9"});
    EXPECT_TRUE(Registry.KeyExists(rrCurrentUser, "sOfTwArE\\cAf\xc9\\SUB"));

    ASSERT_TRUE(Registry.WriteString(rrCurrentUser, "software\\caf\xe9", "Value", "one"));
    ASSERT_TRUE(Registry.WriteString(rrCurrentUser, "Software\\Caf\xe9", "VALUE", "two"));
    ASSERT_TRUE(Registry.WriteString(rrCurrentUser, "Software\\Caf\xe9", "\xe9t\xe9", "summer"));
    EXPECT_EQ(Registry.ReadString(rrCurrentUser, "Software\\Caf\xe9", "value"), "two");
    EXPECT_EQ(Registry.ReadString(rrCurrentUser, "Software\\Caf\xe9", "\xc9T\xc9"), "summer");
    // Blanks and letters without a capital are names of their own.
    EXPECT_FALSE(Registry.KeyExists(rrCurrentUser, " Software"));
    EXPECT_EQ(Registry.ReadString(rrCurrentUser, "Software\\Caf\xe9", "Value "), std::nullopt);
    ASSERT_TRUE(Registry.CreateKey(rrCurrentUser, "Stra\xdf"
                                                  "e"));
    EXPECT_FALSE(Registry.KeyExists(rrCurrentUser, "STRASSE"));
}

TEST_F(MemoryRegistry, TheEmptyNameIsTheDefaultValue) {
    ASSERT_TRUE(Registry.CreateKey(rrClassesRoot, ".acme\\shell"));
    EXPECT_EQ(Registry.ReadString(rrClassesRoot, ".acme", ""), std::nullopt); // not set yet
    ASSERT_TRUE(Registry.WriteString(rrClassesRoot, ".acme", "", "AcmeFile"));
    ASSERT_TRUE(Registry.WriteString(rrClassesRoot, ".acme", " ", "blank"));
    ASSERT_TRUE(Registry.WriteString(rrClassesRoot, "", "", "at the root"));
    EXPECT_EQ(Registry.ReadString(rrClassesRoot, "\\.acme\\", ""), "AcmeFile");
    EXPECT_EQ(Registry.ReadString(rrClassesRoot, ".acme", " "), "blank");
    EXPECT_EQ(Registry.ReadString(rrClassesRoot, ".acme\\shell", ""), std::nullopt);
    EXPECT_EQ(Registry.ReadString(rrClassesRoot, "\\", ""), "at the root");
    // An empty string is a value like any other.
    ASSERT_TRUE(Registry.WriteString(rrClassesRoot, ".acme", "", ""));
    EXPECT_EQ(Registry.ReadString(rrClassesRoot, ".acme", ""), "");
}

// Any type comes back as written, byte for byte; a value has one type, and the string and number calls
// see their own types only (an expandable string as a string).
TEST_F(MemoryRegistry, AValueOfAnyTypeComesBackAsWritten) {
    ASSERT_TRUE(Registry.CreateKey(rrCurrentUser, "Software\\Acme"));
    const TRegValue binary{3, std::string("\0\x01\xff", 3)};
    EXPECT_TRUE(Registry.WriteValue(rrCurrentUser, "Software\\Acme", "Raw", binary));
    EXPECT_EQ(Registry.ReadValue(rrCurrentUser, "software\\acme", "RAW"), binary);
    EXPECT_EQ(Registry.ReadString(rrCurrentUser, "Software\\Acme", "Raw"), std::nullopt);
    EXPECT_EQ(Registry.ReadInteger(rrCurrentUser, "Software\\Acme", "Raw"), std::nullopt);
    EXPECT_TRUE(Registry.WriteValue(rrCurrentUser, "Software\\Acme", "Raw", {kRegExpandString, "%PATH%"}));
    EXPECT_EQ(Registry.ReadString(rrCurrentUser, "Software\\Acme", "Raw"), "%PATH%");
    EXPECT_TRUE(Registry.WriteInteger(rrCurrentUser, "Software\\Acme", "Raw", 0x01020304));
    EXPECT_EQ(Registry.ReadValue(rrCurrentUser, "Software\\Acme", "Raw"),
              (TRegValue{kRegNumber, "\x04\x03\x02\x01"}));
    EXPECT_EQ(Registry.ReadString(rrCurrentUser, "Software\\Acme", "Raw"), std::nullopt);
    EXPECT_FALSE(Registry.WriteValue(rrCurrentUser, "Software\\Missing", "Raw", binary));
    EXPECT_EQ(Registry.ReadValue(rrCurrentUser, "Software\\Acme", "Other"), std::nullopt);
}

TEST_F(MemoryRegistry, NamesLongerThanWindowsAllowsAreRefused) {
    const std::string longest(kMaxRegKeyNameLength, 'k');
    const std::string tooLong = longest + "k";
    EXPECT_TRUE(Registry.CreateKey(rrCurrentUser, "A\\" + longest));
    EXPECT_FALSE(Registry.CreateKey(rrCurrentUser, "B\\" + tooLong + "\\C"));
    EXPECT_FALSE(Registry.KeyExists(rrCurrentUser, "B")); // nothing made on the way
    EXPECT_FALSE(Registry.KeyExists(rrCurrentUser, "A\\" + tooLong));
    EXPECT_FALSE(Registry.DeleteKey(rrCurrentUser, "A\\" + tooLong));
    EXPECT_TRUE(Registry.SubKeyNames(rrCurrentUser, "A\\" + tooLong).empty());

    const std::string longestValue(kMaxRegValueNameLength, 'v');
    EXPECT_TRUE(Registry.WriteString(rrCurrentUser, "A", longestValue, "fits"));
    EXPECT_EQ(Registry.ReadString(rrCurrentUser, "A", longestValue), "fits");
    EXPECT_FALSE(Registry.WriteString(rrCurrentUser, "A", longestValue + "v", "too long"));
    EXPECT_EQ(Registry.ReadString(rrCurrentUser, "A", longestValue + "v"), std::nullopt);
    const std::string big(1 << 20, 'z'); // values have no such limit
    EXPECT_TRUE(Registry.WriteString(rrCurrentUser, "A", "big", big));
    EXPECT_EQ(Registry.ReadString(rrCurrentUser, "A", "big"), big);
}

TEST_F(MemoryRegistry, DeletingTakesTheKeyWithEverythingBelowAndNothingBeside) {
    for (const char* key : {"A\\B\\C\\D", "A\\B\\E", "A\\F", "A B\\G", "A!", "AB", "A\\B2", "Z"})
        ASSERT_TRUE(Registry.CreateKey(rrCurrentUser, key)) << key;
    ASSERT_TRUE(Registry.WriteString(rrCurrentUser, "A\\B\\C", "v", "gone"));
    EXPECT_TRUE(Registry.DeleteKey(rrCurrentUser, "\\a\\b\\"));
    for (const char* gone : {"A\\B", "A\\B\\C", "A\\B\\C\\D", "A\\B\\E"})
        EXPECT_FALSE(Registry.KeyExists(rrCurrentUser, gone)) << gone;
    EXPECT_EQ(Registry.ReadString(rrCurrentUser, "A\\B\\C", "v"), std::nullopt);
    for (const char* kept : {"A", "A\\F", "A\\B2", "A B\\G", "A!", "AB", "Z"})
        EXPECT_TRUE(Registry.KeyExists(rrCurrentUser, kept)) << kept;
    EXPECT_FALSE(Registry.DeleteKey(rrCurrentUser, "A\\B")); // gone already
    EXPECT_FALSE(Registry.DeleteKey(rrCurrentUser, "Missing\\Key"));
    // Re-created, a key starts empty.
    ASSERT_TRUE(Registry.CreateKey(rrCurrentUser, "A\\B"));
    EXPECT_TRUE(Registry.SubKeyNames(rrCurrentUser, "A\\B").empty());
}

TEST_F(MemoryRegistry, ARootIsNeverDeleted) {
    ASSERT_TRUE(Registry.CreateKey(rrCurrentUser, "Software\\Acme"));
    for (const char* root : {"", "\\", "\\\\"}) EXPECT_FALSE(Registry.DeleteKey(rrCurrentUser, root)) << root;
    EXPECT_TRUE(Registry.KeyExists(rrCurrentUser, "Software\\Acme"));
}

TEST_F(MemoryRegistry, SubkeysListInTheOrderOfTheirUpperCasedNames) {
    for (const char* name : {"Zeta", "alpha", "Beta", "_x", "[y", "b", " sp ", "\xe9t\xe9", "A1", "a"})
        ASSERT_TRUE(Registry.CreateKey(rrCurrentUser, std::string("List\\") + name + "\\Below"));
    // Keys beside List whose names sort between "List" and "List\" must not hide its subkeys.
    ASSERT_TRUE(Registry.CreateKey(rrCurrentUser, "List A"));
    ASSERT_TRUE(Registry.CreateKey(rrCurrentUser, "List!"));
    EXPECT_EQ(Registry.SubKeyNames(rrCurrentUser, "list"),
              (TNames{" sp ", "a", "A1", "alpha", "b", "Beta", "Zeta", "[y", "_x", "\xe9t\xe9"}));
    EXPECT_EQ(Registry.SubKeyNames(rrCurrentUser, "List\\Zeta"), TNames{"Below"});
    EXPECT_EQ(Registry.SubKeyNames(rrCurrentUser, ""), (TNames{"List", "List A", "List!"}));
    EXPECT_TRUE(Registry.SubKeyNames(rrCurrentUser, "List\\Missing").empty());
}

} // namespace
} // namespace yar
