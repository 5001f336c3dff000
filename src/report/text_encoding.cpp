#include "report/text_encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace torv {
namespace {

class Converter {
 public:
  Converter() : handle_(::iconv_open("CP1251", "UTF-8")) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error("iconv cannot convert UTF-8 to CP1251");
    }
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() { ::iconv_close(handle_); }
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

std::size_t Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

}  // namespace

std::string Utf8ToCp1251(std::string_view utf8) {
  Converter converter;
  std::string out;
  out.reserve(utf8.size());
  char buffer[4096];
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t result = ::iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    if (result != static_cast<std::size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL: skip one character and stand "?" in for it.
    out += '?';
    const std::size_t skip = std::min(inLeft, Utf8SequenceLength(static_cast<unsigned char>(*in)));
    in += skip;
    inLeft -= skip;
    ::iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

}  // namespace torv
