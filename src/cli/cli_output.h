// What torvdoc-cli writes: texts in the chosen encoding, written byte for byte.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "archive/result.h"
#include "cli/cli_options.h"

namespace torv {

// The program's UTF-8 text in the encoding chosen for standard output.
Result<std::string> EncodeOutput(std::string_view utf8, OutputEncoding encoding);

// Writes `bytes` unchanged and flushes; false when the stream refused them.
bool WriteBytes(std::FILE* stream, std::string_view bytes);

}  // namespace torv
