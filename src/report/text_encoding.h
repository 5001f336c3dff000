// Converting the program's UTF-8 texts to Windows-1251, the code page of the
// device's operators and of the RTF report.
#pragma once

#include <string>
#include <string_view>

namespace torv {

// A character that Windows-1251 lacks becomes "?", as does an invalid UTF-8
// byte, so a conversion always yields a text.
std::string Utf8ToCp1251(std::string_view utf8);

}  // namespace torv
