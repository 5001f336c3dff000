// SHA-256 over text given piece by piece, so that a listing's digest is taken
// as it streams by instead of over a copy of it held whole.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace torv::history {

class Sha256Stream {
 public:
  Sha256Stream();
  void Add(std::string_view piece);
  void Add(const std::uint8_t* bytes, std::size_t size);
  // 64 lowercase hexadecimal digits; the stream starts again empty.
  std::string Hex();

 private:
  // nettle's sha256_ctx, held as bytes so that its header stays here.
  alignas(8) std::array<std::uint8_t, 128> context_{};
};

}  // namespace torv::history
