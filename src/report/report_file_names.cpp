#include "report/report_file_names.h"

namespace torv {

std::string DefaultReportName() {
  return "отчет устр. ";
}

std::string DeviceReportName(int deviceIndex) {
  return DefaultReportName() + std::to_string(deviceIndex + 1) + std::string(kReportExtension);
}

SaveNameVerdict JudgeReportFileName(std::string_view chosen) {
  return JudgeFileName(chosen, kReportExtension);
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
