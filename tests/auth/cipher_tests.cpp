#include "auth/des_ecb.h"
#include "auth/password_cipher.h"
#include "test_bytes.h"

#include <gtest/gtest.h>

using namespace chengxi::auth;
using chengxi::auth::testing::fromHex;
using chengxi::auth::testing::toHex;

namespace {

DesKey keyFromHex(std::string_view hex) {
    const std::string bytes = fromHex(hex);
    DesKey key{};
    for (std::size_t i = 0; i < key.size(); ++i) {
        key[i] = static_cast<std::uint8_t>(bytes[i]);
    }
    return key;
}

std::string block(const std::string& bytes, std::size_t index) {
    return bytes.substr(index * 8, 8);
}

} // namespace

TEST(Des, PublishedKnownAnswers) {
    // FIPS PUB 81, Appendix B, Table B1: "Now is the time for all " in ECB mode.
    EXPECT_EQ(toHex(desEcbEncrypt(keyFromHex("0123456789abcdef"), "Now is the time for all ")),
              "3fa40e8a984d4815"
              "6a271787ab8883f9"
              "893d51ec4b563b53");
    // Stinson, Cryptography: Theory and Practice, worked DES example.
    EXPECT_EQ(toHex(desEcbEncrypt(keyFromHex("133457799bbcdff1"), fromHex("0123456789abcdef"))),
              "85e813540f0ab405");
    // NIST SP 800-20, Table A.1 (variable plaintext); the key 0101...01 is a weak key.
    const DesKey weak = keyFromHex("0101010101010101");
    EXPECT_EQ(toHex(desEcbEncrypt(weak, fromHex("8000000000000000"))), "95f8a5e5dd31d900");
    EXPECT_EQ(toHex(desEcbEncrypt(weak, fromHex("4000000000000000"))), "dd7f121ca5015619");
}

TEST(Des, ParityBitsAreIgnored) {
    // The FIPS 81 key with the low (parity) bit of every byte flipped.
    EXPECT_EQ(toHex(desEcbEncrypt(keyFromHex("0022446688aaccee"), "Now is t")), "3fa40e8a984d4815");
}

TEST(PasswordCipher, DefaultPasswordAnchor) {
    EXPECT_EQ(toHex(passwordCipher("ruvok")), "f8fbf10a89dcc78830fe9eb5ab6c64f8");
    EXPECT_EQ(toHex(cipherOfTypedPassword("ruvok").text()), "f8fbf10a89dcc78830fe9eb5ab6c64f8");
}

TEST(PasswordCipher, KeyTextIsFoldedIntoEightBytes) {
    const DesKey key = cipherKey(kCipherKeyText);
    // Folding the key text onto itself cancels it out.
    EXPECT_EQ(cipherKey("5820471658204716"), DesKey{});
    // A ninth byte folds onto the first.
    const DesKey nine = cipherKey("582047165");
    EXPECT_EQ(nine[0], 0);
    EXPECT_TRUE(std::equal(key.begin() + 1, key.end(), nine.begin() + 1));
    // Each byte is bit-reversed: '5' is 00110101, reversed 10101100.
    EXPECT_EQ(key[0], 0xAC);
}

TEST(PasswordCipher, OutputLengthFollowsTheLengthPrefixedBuffer) {
    for (std::size_t n = 0; n <= 28; ++n) {
        const std::size_t expected = n <= 4 ? 8 : n <= 12 ? 16 : n <= 20 ? 24 : 32;
        EXPECT_EQ(encipherPasswordBlocks(std::string(n, 'k')).size(), expected) << n;
    }
}

TEST(PasswordCipher, BlocksAreEncipheredIndependently) {
    const std::string password = "abcdefghijklmnopqrst"; // blocks: [20,abcd][efghijkl][mnopqrst]
    const std::string original = encipherPasswordBlocks(password);

    std::string changed = password;
    changed[6] = 'X'; // inside the second block
    const std::string second = encipherPasswordBlocks(changed);
    EXPECT_EQ(block(second, 0), block(original, 0));
    EXPECT_NE(block(second, 1), block(original, 1));
    EXPECT_EQ(block(second, 2), block(original, 2));

    changed = password;
    changed[0] = 'X'; // shares the first block with the length
    const std::string first = encipherPasswordBlocks(changed);
    EXPECT_NE(block(first, 0), block(original, 0));
    EXPECT_EQ(first.substr(8), original.substr(8));

    // One more character changes the length in the first block; the blocks
    // holding the same password bytes stay.
    const std::string longer = encipherPasswordBlocks(password + "u");
    ASSERT_EQ(longer.size(), 32u);
    EXPECT_NE(block(longer, 0), block(original, 0));
    EXPECT_EQ(block(longer, 1), block(original, 1));
    EXPECT_EQ(block(longer, 2), block(original, 2));
}

TEST(PasswordCipher, ChinesePasswordIsEncipheredAsItsGbkBytes) {
    const TypedPasswordCipher typed = cipherOfTypedPassword("图书");
    ASSERT_TRUE(typed.ok());
    EXPECT_EQ(typed.blocks, encipherPasswordBlocks("\xCD\xBC\xCA\xE9"));
    EXPECT_EQ(typed.blocks.size(), 8u);
    EXPECT_NE(typed.blocks, encipherPasswordBlocks("图书")); // not its UTF-8 bytes
}

TEST(PasswordCipher, UnencodableCharacterIsReportedNotEnciphered) {
    const TypedPasswordCipher typed = cipherOfTypedPassword("密码😀");
    EXPECT_FALSE(typed.ok());
    EXPECT_EQ(typed.unencodable, "😀");
    EXPECT_TRUE(typed.blocks.empty());
}

TEST(PasswordCipher, StoredTextEndsAtTheFirstZeroByte) {
    // Look for passwords whose cipher output holds a zero byte.
    int found = 0;
    for (int i = 0; i < 5000 && found < 3; ++i) {
        const std::string password = "p" + std::to_string(i);
        const std::string blocks = encipherPasswordBlocks(password);
        const std::size_t zero = blocks.find('\0');
        if (zero == std::string::npos) {
            EXPECT_EQ(passwordCipher(password), blocks);
            continue;
        }
        ++found;
        EXPECT_EQ(passwordCipher(password), blocks.substr(0, zero)) << password;
    }
    EXPECT_EQ(found, 3);
}
