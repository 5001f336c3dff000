#include "cli/locale_encoding.h"

#include <langinfo.h>

#include <cctype>
#include <clocale>
#include <string>

namespace torv {

OutputEncoding EncodingOfCodeset(std::string_view codeset) {
  std::string name;
  for (const char c : codeset) {
    if (c != '-' && c != '_')
      name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return name == "CP1251" || name == "WINDOWS1251" ? OutputEncoding::kCp1251
                                                   : OutputEncoding::kUtf8;
}

OutputEncoding LocaleEncoding() {
  // Only the character type is taken from the environment, and only for as
  // long as the codeset is read: the tool's messages (strerror's among them)
  // stay English, and nothing else depends on the locale.
  const char* current = std::setlocale(LC_CTYPE, nullptr);
  const std::string previous = current != nullptr ? current : "C";
  if (std::setlocale(LC_CTYPE, "") == nullptr) return OutputEncoding::kUtf8;
  const std::string codeset = ::nl_langinfo(CODESET);
  std::setlocale(LC_CTYPE, previous.c_str());
  return EncodingOfCodeset(codeset);
}

}  // namespace torv
