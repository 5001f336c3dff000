// What torvdoc-cli writes: texts in the chosen encoding, written byte for byte.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "archive/result.h"
#include "cli/cli_options.h"

namespace torv {

// As FILE: the archive on standard input; as -o PATH or OUT: standard output.
inline constexpr std::string_view kStandardStream = "-";

// An output path that names standard output: none, or "-".
inline bool IsStandardOutput(std::string_view outputPath) {
  return outputPath.empty() || outputPath == kStandardStream;
}

// The program's UTF-8 text in the encoding chosen for standard output.
Result<std::string> EncodeOutput(std::string_view utf8, OutputEncoding encoding);

// Writes `bytes` unchanged and flushes; false when the stream refused them.
bool WriteBytes(std::FILE* stream, std::string_view bytes);

}  // namespace torv
