// The program-wide state shared by the window's handlers, the view engine and
// the reports. Texts are UTF-8. A flag is pending when it is not 0; handlers
// set flags to 1.
#pragma once

#include <cstdint>
#include <string>

namespace torv {

struct ViewState {
  std::string ArchiveFileName;   // full path of the chosen archive; empty: none chosen
  std::string ArchiveFileExt;    // extension of the name the open dialog returned
  std::string CommandLine;       // the command line at start; nothing reads it
  std::int32_t DeviceIndex = 0;  // device number - 1
  std::int32_t BlocksBack = 0;   // plain view: 1 is the newest block, 64 the oldest
  std::int32_t InputNumber = 0;  // input view: 1 to 32
  std::string SearchDateKey;     // date search: day, separator, month

  std::int32_t DateSearchPending = 0;  // runs the search only when exactly 1
  std::int32_t InputFilterPending = 0;
  std::int32_t StepForwardPending = 0;
  std::int32_t StepBackwardPending = 0;

  // Ring offset where a step back continues; only the engine sets it.
  std::int32_t ReadOffset = 0;
  // Data rows written by the last fill of the table; only FillEventTable sets it.
  std::int32_t ShownRowCount = 0;

  void ClearPendingFlags() {
    DateSearchPending = InputFilterPending = StepForwardPending = StepBackwardPending = 0;
  }
};

}  // namespace torv
