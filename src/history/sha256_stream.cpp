#include "history/sha256_stream.h"

#include <nettle/sha2.h>

namespace torv::history {
namespace {

sha256_ctx* Context(std::array<std::uint8_t, 128>& bytes) {
  static_assert(sizeof(sha256_ctx) <= 128 && alignof(sha256_ctx) <= 8);
  return reinterpret_cast<sha256_ctx*>(bytes.data());
}

}  // namespace

Sha256Stream::Sha256Stream() {
  sha256_init(Context(context_));
}

void Sha256Stream::Add(std::string_view piece) {
  sha256_update(Context(context_), piece.size(),
                reinterpret_cast<const std::uint8_t*>(piece.data()));
}

void Sha256Stream::Add(const std::uint8_t* bytes, std::size_t size) {
  sha256_update(Context(context_), size, bytes);
}

std::string Sha256Stream::Hex() {
  std::uint8_t digest[SHA256_DIGEST_SIZE];
  sha256_digest(Context(context_), SHA256_DIGEST_SIZE, digest);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  for (const std::uint8_t byte : digest) {
    text += kHex[byte >> 4];
    text += kHex[byte & 15];
  }
  return text;
}

}  // namespace torv::history
