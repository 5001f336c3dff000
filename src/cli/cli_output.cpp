#include "cli/cli_output.h"

#include "fileio/text_encoding.h"

namespace torv {

Result<std::string> EncodeOutput(std::string_view utf8, OutputEncoding encoding) {
  switch (encoding) {
    case OutputEncoding::kCp1251:
      return Utf8ToCp1251(utf8);
    case OutputEncoding::kUtf8:
      break;
  }
  return std::string(utf8);
}

bool WriteBytes(std::FILE* stream, std::string_view bytes) {
  // fwrite passes every byte as it is (no newline translation, NULs kept).
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size()) {
    return false;
  }
  return std::fflush(stream) == 0;
}

}  // namespace torv
