// Which names a file dialog may return: the one rule behind the archive file
// choice (".dat") and the report save (".rtf").
#pragma once

#include <string_view>

namespace torv {

// The extension of `name`: from its last "." on, the dot included, when that
// dot comes after the last folder separator "/"; otherwise empty. A dot in a folder name therefore gives no extension, and a
// name ending in "." has the extension ".".
std::string_view FileNameExtension(std::string_view name);

enum class FileNameVerdict {
  kAccept,           // the extension is the required one, byte for byte
  kAppendExtension,  // no extension: the required one is appended
  kReject,           // any other extension, the required one in capitals included
};

FileNameVerdict JudgeFileName(std::string_view name, std::string_view requiredExtension);

}  // namespace torv
