// Converting the program's UTF-8 texts to Windows-1251, the code page of the
// device's operators and of the RTF report.
#pragma once

#include <string>
#include <string_view>

#include "archive/result.h"

namespace torv {

// A character that Windows-1251 lacks becomes one "?", and so does each byte
// that is not part of a well-formed UTF-8 character, so a conversion loses
// nothing around a broken sequence. It fails only when the system has no
// converter to Windows-1251.
Result<std::string> Utf8ToCp1251(std::string_view utf8);

// The same conversion to the single-byte code page that iconv knows as
// `codePage`.
Result<std::string> Utf8ToSingleByteCodePage(std::string_view utf8, const char* codePage);

}  // namespace torv
