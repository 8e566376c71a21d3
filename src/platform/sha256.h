#pragma once
// SHA-256 (FIPS 180-4) and HMAC-SHA-256 (RFC 2104), our own: the Windows build has no
// crypto library to link, and the journal's signature needs nothing more.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zeb {

using Sha256Digest = std::array<std::uint8_t, 32>;

class Sha256 {
 public:
  Sha256();
  void Update(std::string_view bytes);
  // Ends the hash; the object must not be updated afterwards.
  Sha256Digest Finish();

 private:
  void Compress(const std::uint8_t* block);

  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, 64> buffer_{};
  std::size_t buffered_ = 0;
  std::uint64_t totalBytes_ = 0;
};

Sha256Digest Sha256Of(std::string_view bytes);

// A keyed hash over several parts, as if they were one message.
class HmacSha256 {
 public:
  explicit HmacSha256(std::string_view key);
  void Update(std::string_view bytes) { inner_.Update(bytes); }
  Sha256Digest Finish();

 private:
  // Both with their key block taken in, so that a copy of the object signs a message with
  // no more work than the message's own blocks.
  Sha256 inner_;
  Sha256 outer_;
};

Sha256Digest HmacSha256Of(std::string_view key, std::string_view message);

}  // namespace zeb
