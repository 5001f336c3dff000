#include "cli/view_description.h"

namespace torv {

ViewDescription DescribeView(const CliOptions& options) {
  ViewDescription view;
  switch (options.viewKind) {
    case ViewKind::kBlock:
      view.kind = "block";
      view.block = options.blocksBack;
      break;
    case ViewKind::kDate:
      view.kind = "date";
      view.date = options.dateKey;
      break;
    case ViewKind::kInput:
      view.kind = "input";
      view.input = options.inputNumber;
      break;
  }
  view.steps = options.steps;
  return view;
}

ViewDescription DescribeReport() {
  ViewDescription view;
  view.kind = "report";
  return view;
}

}  // namespace torv
