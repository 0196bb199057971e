// SHA-256 of the platform: nettle natively, CryptoAPI under Wine. Both builds run this same table on
// the same bytes, with the digests sha256sum gave for them, so the two implementations agree where
// they are used: the install registers the digest on Windows, the native tests check it with nettle.
#include "system/Digest.h"

#include <gtest/gtest.h>

#include <string>

namespace yar {
namespace {

// n bytes of every value, in an order that is not sorted: byte i is (37 i + 11) mod 256.
std::string Pattern(std::size_t n) {
    std::string bytes;
    for (std::size_t i = 0; i < n; ++i) bytes += static_cast<char>((i * 37 + 11) & 0xFF);
    return bytes;
}

TEST(Digest, Sha256OfTheStandardsVectors) {
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(
        Sha256Hex(
            "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopq"
            "rsmnopqrstnopqrstu"),
        "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
    EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Digest, Sha256OfEveryByteValueAcrossTheBlockBoundaries) {
    const struct {
        std::size_t length;
        const char* digest;
    } cases[] = {
        {0, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {1, "e7cf46a078fed4fafd0b5e3aff144802b853f8ae459a4f0c14add3314b7cc3a6"},
        {2, "cdc63a6325d5fa92515578c0b418e6eeec1c6d085937a24fc43c2126ea517457"},
        {31, "0cc420417cb6a768e632bf1be8d1f197c9c0e9dd1dd2021e3bd37c46cee0516f"},
        {32, "83b7a8ed859053c81d818870fab1f8b1ae44d06a98a9665d369a8fd7d2838ded"},
        {55, "2900465fcb533e05a158fd2b3be0e5e3b03740d83060aa3580e0d98a96bf2384"},
        {56, "31454ff48ef36af2f08fd511bdc37d9d5855ac23e992e5ff5445cb6b7674a674"},
        {57, "bcc0a5d3791b985b7550e04ca660a6c63a589ba1edd2283c8e110e5b515df124"},
        {63, "5f6401b96532c36de4e65beec0409b69b1d181864c8009b7a04f43e5d56350d1"},
        {64, "94eb5de4943613fd048dc93393ab06877405faa39c11f53e9386083339833e7e"},
        {65, "fc518669b6eb4b4dd91827ecacef86689c725bd5bab888fd3b26dbb196eec954"},
        {119, "b0dc41b1a384e2f1203f0351b38fbeaafceef577ce1191d5bfc25da39f721eae"},
        {120, "5df24dd802ac26132ce608dcb5f09841eef039ee0f152acf98d26d17fe4e88e6"},
        {127, "0fe729ff19257bd6fec853acc2ea355f6b34b58e6c0f684c3e188fcdfcd9baae"},
        {128, "0aedd4856f8eba0963627336ad5144a9a7dbe12498e6066f0165fc97d8ddee4c"},
        {129, "4f1757ae4bffbae86d775b831765b75af154d52f7deaa46dd378051a2d3ad57f"},
        {1000, "57799de80e3dd6e2ac4d40c41a150d1662f7f87d0d994776a2fdc37c39b0ea4e"},
        {4096, "4e441a3533bb2c10cd5649981d395744213e09a336746b5a3458fee4057205ec"},
        {65537, "3123afca912e156e19bcd2055eb92e944cf6e6fdb0eef16d65464342ad1f5a1a"},
    };
    for (const auto& c : cases) EXPECT_EQ(Sha256Hex(Pattern(c.length)), c.digest) << c.length << " bytes";
}

} // namespace
} // namespace yar
