#include "report/report_file_names.h"

namespace torv {

std::string DefaultReportName() {
  return "отчет устр. ";
}

std::string DeviceReportName(int deviceIndex) {
  return DefaultReportName() + std::to_string(deviceIndex + 1) + std::string(kReportExtension);
}

std::string_view FileNameExtension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  // "/" is the only folder separator here; backslash and ":" are ordinary
  // name characters, so a name like "a.b\c" has the extension ".b\c".
  const std::size_t separator = name.rfind('/');
  if (separator != std::string_view::npos && separator > dot) return {};
  return name.substr(dot);
}

SaveNameVerdict JudgeReportFileName(std::string_view chosen) {
  const std::string_view extension = FileNameExtension(chosen);
  if (extension == kReportExtension) return SaveNameVerdict::kAccept;
  if (extension.empty()) return SaveNameVerdict::kAppendExtension;
  return SaveNameVerdict::kReject;
}

std::optional<std::string> AcceptReportFileName(const std::string& chosen) {
  switch (JudgeReportFileName(chosen)) {
    case SaveNameVerdict::kAccept:
      return chosen;
    case SaveNameVerdict::kAppendExtension:
      return chosen + std::string(kReportExtension);
    case SaveNameVerdict::kReject:
      break;
  }
  return std::nullopt;
}

}  // namespace torv
