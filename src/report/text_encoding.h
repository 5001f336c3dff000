// Converting the program's UTF-8 texts to Windows-1251, the code page of the
// device's operators and of the RTF report.
#pragma once

#include <string>
#include <string_view>

namespace torv {

// A character that Windows-1251 lacks becomes one "?", and so does each byte
// that is not part of a well-formed UTF-8 character, so a conversion always
// yields a text and loses nothing around a broken sequence.
std::string Utf8ToCp1251(std::string_view utf8);

}  // namespace torv
