#include "archive/file_name_rule.h"

namespace torv {

std::string_view FileNameExtension(std::string_view name) {
  // "/" is the only folder separator here; backslash and ":" are ordinary
  // name characters, so "a.b\c" has the extension ".b\c".
  const std::size_t last = name.find_last_of("./");
  if (last == std::string_view::npos || name[last] != '.') return {};
  return name.substr(last);
}

FileNameVerdict JudgeFileName(std::string_view name, std::string_view requiredExtension) {
  const std::string_view extension = FileNameExtension(name);
  if (extension == requiredExtension) return FileNameVerdict::kAccept;
  if (extension.empty()) return FileNameVerdict::kAppendExtension;
  return FileNameVerdict::kReject;
}

}  // namespace torv
