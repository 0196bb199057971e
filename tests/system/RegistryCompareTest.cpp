// The registry kept in memory against the system's registry: every case runs the same operations
// on both, below a scratch key of its own under HKEY_CURRENT_USER, and expects the same answers.
// Where an answer is known it is checked as well, so that both agreeing on a wrong one shows.
#include <gtest/gtest.h>

#include <algorithm>

#include <windows.h>

#include "system/MemoryRegistry.h"
#include "system/Win32Registry.h"

namespace yar {
namespace {

using TNames = std::vector<std::string>;

class RegistryCompare : public ::testing::Test {
protected:
    void SetUp() override {
        // One key per test: CTest runs the cases as parallel processes.
        Scratch = std::string("Software\\YarTest-") +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name();
        System.DeleteKey(rrCurrentUser, Scratch); // left by an aborted run
        ASSERT_TRUE(Create(Scratch));
    }
    void TearDown() override {
        EXPECT_TRUE(System.DeleteKey(rrCurrentUser, Scratch));
        EXPECT_FALSE(System.KeyExists(rrCurrentUser, Scratch));
    }

    // The path of key below the scratch key.
    std::string In(const std::string& key) const { return Scratch + "\\" + key; }
    // The same with a leading separator, as the install writes it.
    std::string FromRoot(const std::string& key) const { return "\\" + Scratch + "\\" + key; }

    // Asks both registries through op; expects the same answer and returns it.
    template <typename Op> auto Same(const std::string& what, Op op) {
        auto expected = op(static_cast<TRegistry&>(System));
        const auto actual = op(static_cast<TRegistry&>(Portable));
        EXPECT_EQ(actual, expected) << what << " (system's answer first, then the portable one's)";
        return expected;
    }
    bool Create(const std::string& key) {
        return Same("CreateKey " + key, [&](TRegistry& r) { return r.CreateKey(rrCurrentUser, key); });
    }
    bool Write(const std::string& key, const std::string& name, const std::string& value) {
        return Same("WriteString " + key + " [" + name + "]",
                    [&](TRegistry& r) { return r.WriteString(rrCurrentUser, key, name, value); });
    }
    std::optional<std::string> Read(const std::string& key, const std::string& name) {
        return Same("ReadString " + key + " [" + name + "]",
                    [&](TRegistry& r) { return r.ReadString(rrCurrentUser, key, name); });
    }
    bool Exists(const std::string& key) {
        return Same("KeyExists " + key, [&](TRegistry& r) { return r.KeyExists(rrCurrentUser, key); });
    }
    bool Delete(const std::string& key) {
        return Same("DeleteKey " + key, [&](TRegistry& r) { return r.DeleteKey(rrCurrentUser, key); });
    }
    TNames List(const std::string& key) {
        return Same("SubKeyNames " + key, [&](TRegistry& r) { return r.SubKeyNames(rrCurrentUser, key); });
    }

    std::string Scratch;
    TWin32Registry System;
    TMemoryRegistry Portable;
};

TEST_F(RegistryCompare, KeyAndValueNamesIgnoreCase) {
    EXPECT_TRUE(Create(In("Mixed\\Case")));
    EXPECT_TRUE(Create(In("MIXED\\case\\Deeper")));
    EXPECT_EQ(List(Scratch), TNames{"Mixed"}); // the first spelling stays
    EXPECT_EQ(List(In("mIxEd")), TNames{"Case"});
    EXPECT_TRUE(Exists(In("mixed\\CASE\\deeper")));
    EXPECT_TRUE(Write(In("Mixed"), "Value", "one"));
    EXPECT_TRUE(Write(In("MIXED"), "VALUE", "two"));
    EXPECT_EQ(Read(In("mixed"), "value"), "two");
    // Accented letters of the ANSI code page fold as well.
    EXPECT_TRUE(Create(In("Caf\xe9")));
    EXPECT_TRUE(Exists(In("CAF\xc9")));
    EXPECT_TRUE(Write(In("caf\xc9"), "\xc9t\xe9", "summer"));
    EXPECT_EQ(Read(In("Caf\xe9"), "\xe9T\xc9"), "summer");
    // Blanks are part of a name.
    EXPECT_TRUE(Create(In(" Blank ")));
    EXPECT_FALSE(Exists(In("Blank")));
    EXPECT_EQ(Read(In("Mixed"), " Value"), std::nullopt);
}

TEST_F(RegistryCompare, TheEmptyNameIsTheDefaultValue) {
    EXPECT_TRUE(Create(In("Ext\\shell")));
    EXPECT_EQ(Read(In("Ext"), ""), std::nullopt);
    EXPECT_TRUE(Write(In("Ext"), "", "AcmeFile"));
    EXPECT_TRUE(Write(In("Ext"), " ", "blank name"));
    EXPECT_EQ(Read(In("Ext"), ""), "AcmeFile");
    EXPECT_EQ(Read(In("Ext"), " "), "blank name");
    EXPECT_EQ(Read(In("Ext\\shell"), ""), std::nullopt);
    EXPECT_TRUE(Write(In("Ext"), "", ""));
    EXPECT_EQ(Read(In("Ext"), ""), "");
}

TEST_F(RegistryCompare, LeadingDoubledAndTrailingSeparators) {
    EXPECT_TRUE(Create(FromRoot("Lead")));
    EXPECT_TRUE(Exists(In("Lead")));
    EXPECT_TRUE(Create(In("Doubled\\\\Inner\\")));
    EXPECT_EQ(List(In("Doubled")), TNames{"Inner"});
    EXPECT_TRUE(Write(FromRoot("Lead\\"), "v", "x"));
    EXPECT_EQ(Read(In("\\Lead"), "v"), "x");
    EXPECT_EQ(List(FromRoot("")), (TNames{"Doubled", "Lead"}));
    EXPECT_TRUE(Delete(FromRoot("Doubled\\")));
    EXPECT_FALSE(Exists(In("Doubled\\Inner")));
}

TEST_F(RegistryCompare, CreationMakesEveryMissingParent) {
    EXPECT_FALSE(Exists(In("One")));
    EXPECT_TRUE(Create(In("One\\Two\\Three\\Four")));
    for (const char* key : {"One", "One\\Two", "One\\Two\\Three", "One\\Two\\Three\\Four"})
        EXPECT_TRUE(Exists(In(key))) << key;
    EXPECT_TRUE(Create(In("One\\Two"))); // there already
    EXPECT_EQ(List(In("One\\Two\\Three\\Four")), TNames{});
    // A value needs its key: nothing is made on the way.
    EXPECT_FALSE(Write(In("Missing\\Key"), "v", "x"));
    EXPECT_FALSE(Exists(In("Missing")));
}

TEST_F(RegistryCompare, DeletionTakesEverythingBelowAndNothingBeside) {
    for (const char* key : {"A\\B\\C\\D", "A\\B\\E", "A\\F", "A B\\G", "A!", "AB", "A\\B2"}) Create(In(key));
    EXPECT_TRUE(Write(In("A\\B\\C"), "v", "gone"));
    EXPECT_TRUE(Write(In("A"), "kept", "here"));
    EXPECT_TRUE(Delete(In("a\\b")));
    for (const char* gone : {"A\\B", "A\\B\\C", "A\\B\\C\\D", "A\\B\\E"})
        EXPECT_FALSE(Exists(In(gone))) << gone;
    for (const char* kept : {"A", "A\\F", "A\\B2", "A B\\G", "A!", "AB"})
        EXPECT_TRUE(Exists(In(kept))) << kept;
    EXPECT_EQ(Read(In("A"), "kept"), "here");
    EXPECT_FALSE(Delete(In("A\\B")));
    EXPECT_TRUE(Create(In("A\\B")));
    EXPECT_EQ(Read(In("A\\B\\C"), "v"), std::nullopt);
    EXPECT_EQ(List(In("A\\B")), TNames{});
}

TEST_F(RegistryCompare, MissingKeysAndValues) {
    EXPECT_FALSE(Exists(In("Nowhere")));
    EXPECT_EQ(Read(In("Nowhere"), "v"), std::nullopt);
    EXPECT_EQ(Read(In("Nowhere"), ""), std::nullopt);
    EXPECT_EQ(List(In("Nowhere")), TNames{});
    EXPECT_FALSE(Delete(In("Nowhere")));
    EXPECT_FALSE(Delete(In("Nowhere\\Deeper")));
    EXPECT_TRUE(Create(In("Here")));
    EXPECT_EQ(Read(In("Here"), "v"), std::nullopt);
    EXPECT_EQ(Read(Scratch, "v"), std::nullopt);
    EXPECT_TRUE(Exists(""));
    EXPECT_TRUE(Exists("\\"));
}

TEST_F(RegistryCompare, TextsEndAtTheirFirstNul) {
    EXPECT_TRUE(Create(In(std::string("Key\0Hidden", 10))));
    EXPECT_EQ(List(Scratch), TNames{"Key"});
    EXPECT_TRUE(Write(In("Key"), std::string("na\0me", 5), std::string("val\0ue", 6)));
    EXPECT_EQ(Read(In("Key"), "na"), "val");
}

TEST_F(RegistryCompare, LongNamesAndValues) {
    EXPECT_TRUE(Create(In("Long")));
    const std::string longest(kMaxRegValueNameLength, 'v');
    EXPECT_TRUE(Write(In("Long"), longest, "fits"));
    EXPECT_EQ(Read(In("Long"), longest), "fits");
    EXPECT_FALSE(Write(In("Long"), longest + "v", "too long"));
    EXPECT_EQ(Read(In("Long"), longest + "v"), std::nullopt);
    std::string big(1 << 20, 'z');
    big[12345] = '\xe9';
    EXPECT_TRUE(Write(In("Long"), "big", big));
    EXPECT_EQ(Read(In("Long"), "big"), big);
}

TEST_F(RegistryCompare, SubkeysOfLettersDigitsAndBlanksListInTheSameOrder) {
    for (const char* name : {"Zeta", "alpha", "Beta", "b", " sp ", "A1", "a", "10", "9", "Caf\xe9"})
        Create(In(std::string("List\\") + name));
    EXPECT_EQ(List(In("List")),
              (TNames{" sp ", "10", "9", "a", "A1", "alpha", "b", "Beta", "Caf\xe9", "Zeta"}));
}

bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// The one known difference: names with a character between "Z" and "a". Windows keeps subkeys in
// the order of their upper-cased names, as the memory registry does; Wine orders them by lower case.
// The names themselves are the same; each side's order is checked so that a change on either shows.
TEST_F(RegistryCompare, SubkeysWithPunctuationListTheSameNamesInTheirOwnOrder) {
    const TNames created{"Zeta", "_x", "alpha", "[y", "^z"};
    for (const std::string& name : created) {
        ASSERT_TRUE(System.CreateKey(rrCurrentUser, In("List\\" + name)));
        ASSERT_TRUE(Portable.CreateKey(rrCurrentUser, In("List\\" + name)));
    }
    const TNames system = System.SubKeyNames(rrCurrentUser, In("List"));
    const TNames portable = Portable.SubKeyNames(rrCurrentUser, In("List"));
    const TNames upperOrder{"alpha", "Zeta", "[y", "^z", "_x"};
    const TNames lowerOrder{"[y", "^z", "_x", "alpha", "Zeta"};
    EXPECT_EQ(portable, upperOrder);
    EXPECT_EQ(system, UnderWine() ? lowerOrder : upperOrder);
    TNames a = system;
    TNames b = portable;
    std::ranges::sort(a);
    std::ranges::sort(b);
    EXPECT_EQ(a, b);
}

} // namespace
} // namespace yar
