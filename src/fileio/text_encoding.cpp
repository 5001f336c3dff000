#include "fileio/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

#include "archive/text_utf8.h"

namespace torv {
namespace {

constexpr char kReplacement = '?';

// glibc's converter from UTF-8 to a single-byte code page, opened once per
// conversion.
class Converter {
 public:
  // The converter, or the reason the system has none.
  static Result<std::unique_ptr<Converter>> Open(const char* codePage) {
    const iconv_t handle = ::iconv_open(codePage, "UTF-8");
    if (handle == reinterpret_cast<iconv_t>(-1)) {
      const Failure system = SystemFailure(errno);
      return Failure{
          "no converter from UTF-8 to " + std::string(codePage) + " (" + system.reason + ")",
          system.errorNumber};
    }
    return std::unique_ptr<Converter>(new Converter(handle));
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() { ::iconv_close(handle_); }

  // The Windows-1251 byte of one well-formed UTF-8 character. iconv refuses
  // characters the code page lacks, and drops some (the Unicode tag
  // characters) without a word: both become one "?", so nothing vanishes
  // from a report without a trace.
  char Convert(std::string_view character) {
    char* in = const_cast<char*>(character.data());
    std::size_t inLeft = character.size();
    char out[8];
    char* outPtr = out;
    std::size_t outLeft = sizeof out;
    const std::size_t result = ::iconv(handle_, &in, &inLeft, &outPtr, &outLeft);
    ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    if (result == static_cast<std::size_t>(-1) || outPtr - out != 1) return kReplacement;
    return out[0];
  }

 private:
  explicit Converter(iconv_t handle) : handle_(handle) {}

  iconv_t handle_;
};

}  // namespace

Result<std::string> Utf8ToCp1251(std::string_view utf8) {
  return Utf8ToSingleByteCodePage(utf8, "CP1251");
}

Result<std::string> Utf8ToSingleByteCodePage(std::string_view utf8, const char* codePage) {
  Result<std::unique_ptr<Converter>> converter = Converter::Open(codePage);
  if (!converter) return converter.failure();
  std::string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    const Utf8Character character = DecodeUtf8Character(utf8);
    if (character.length == 0) {
      // Only this byte is lost: the text after a broken sequence stays.
      out += kReplacement;
      utf8.remove_prefix(1);
      continue;
    }
    if (character.codePoint < 0x80) {
      out += static_cast<char>(character.codePoint);
    } else {
      out += (*converter)->Convert(utf8.substr(0, character.length));
    }
    utf8.remove_prefix(character.length);
  }
  return out;
}

}  // namespace torv
