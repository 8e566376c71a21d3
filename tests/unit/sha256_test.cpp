#include <gtest/gtest.h>

#include <string>

#include "platform/sha256.h"

namespace zeb {
namespace {

std::string Hex(const Sha256Digest& digest) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (const std::uint8_t b : digest) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

std::string FromHex(const std::string& hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

// FIPS 180-2, appendix B, and the empty message.
TEST(Sha256, StandardVectors) {
  EXPECT_EQ(Hex(Sha256Of("")),
            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Hex(Sha256Of("abc")),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Hex(Sha256Of("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(Hex(Sha256Of(Repeat('a', 1000000))),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

// Padding edges: 55 bytes fit one block with the length, 56 need a second one; and a
// message fed in pieces (smaller than a block, whole blocks, pieces that straddle blocks)
// hashes as the whole.
TEST(Sha256, BlockEdgesAndPiecewiseUpdates) {
  std::string message;
  for (int i = 0; i < 300; ++i) message += static_cast<char>('a' + i * 7 % 26);
  for (std::size_t length : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 200u, 300u}) {
    const std::string part = message.substr(0, length);
    for (std::size_t piece : {1u, 7u, 63u, 64u, 100u}) {
      Sha256 pieces;
      for (std::size_t i = 0; i < part.size(); i += piece) pieces.Update(part.substr(i, piece));
      EXPECT_EQ(Hex(pieces.Finish()), Hex(Sha256Of(part))) << length << " in " << piece;
    }
  }
  // A first short piece, then whole blocks taken straight from the input.
  Sha256 mixed;
  mixed.Update(Repeat('a', 3));
  mixed.Update(Repeat('a', 1000000 - 3));
  EXPECT_EQ(Hex(mixed.Finish()),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
  EXPECT_EQ(Hex(Sha256Of(Repeat('a', 55))),
            "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318");
  EXPECT_EQ(Hex(Sha256Of(Repeat('a', 56))),
            "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a");
}

// RFC 4231, test cases 1 to 7 (case 5's output is truncated to 128 bits there).
TEST(HmacSha256, Rfc4231Vectors) {
  EXPECT_EQ(Hex(HmacSha256Of(Repeat('\x0b', 20), "Hi There")),
            "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7");
  EXPECT_EQ(Hex(HmacSha256Of("Jefe", "what do ya want for nothing?")),
            "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
  EXPECT_EQ(Hex(HmacSha256Of(Repeat('\xaa', 20), Repeat('\xdd', 50))),
            "773ea91e36800e46854db8ebd09181a72959098b3ef8c122d9635514ced565fe");
  EXPECT_EQ(Hex(HmacSha256Of(FromHex("0102030405060708090a0b0c0d0e0f10111213141516171819"),
                             Repeat('\xcd', 50))),
            "82558a389a443c0ea4cc819899f2083a85f0faa3e578f8077a2e3ff46729665b");
  EXPECT_EQ(Hex(HmacSha256Of(Repeat('\x0c', 20), "Test With Truncation")).substr(0, 32),
            "a3b6167473100ee06e0c796c2955552b");
  EXPECT_EQ(Hex(HmacSha256Of(Repeat('\xaa', 131),
                             "Test Using Larger Than Block-Size Key - Hash Key First")),
            "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
  EXPECT_EQ(Hex(HmacSha256Of(Repeat('\xaa', 131),
                             "This is a test using a larger than block-size key and a larger "
                             "than block-size data. The key needs to be hashed before being "
                             "used by the HMAC algorithm.")),
            "9b09ffa71b942fcb27635fbcd5b0e944bfdc63644f0713938a7f51535c3a35e2");
}

TEST(HmacSha256, PartsHashAsTheWholeMessage) {
  HmacSha256 mac("key");
  mac.Update("The quick brown fox ");
  mac.Update("jumps over the lazy dog");
  EXPECT_EQ(Hex(mac.Finish()),
            "f7bc83f430538424b13298e6aa6fb143ef4d59a14946175997479dbc2d1a3cd8");
}

}  // namespace
}  // namespace zeb
