#include "archive/view_request.h"

#include <utility>

namespace torv {

ViewRequest ViewRequest::Block(std::int32_t blocksBack) {
  ViewRequest request;
  request.blocksBack = blocksBack;
  return request;
}

ViewRequest ViewRequest::StepBack() {
  ViewRequest request;
  request.kind = Kind::kStepBack;
  return request;
}

ViewRequest ViewRequest::StepForward() {
  ViewRequest request;
  request.kind = Kind::kStepForward;
  return request;
}

ViewRequest ViewRequest::Date(std::string dateKey) {
  ViewRequest request;
  request.kind = Kind::kDate;
  request.dateKey = std::move(dateKey);
  return request;
}

ViewRequest ViewRequest::Input(std::int32_t inputNumber) {
  ViewRequest request;
  request.kind = Kind::kInput;
  request.inputNumber = inputNumber;
  return request;
}

ViewRequest PendingRequest(const ViewState& state) {
  if (state.StepForwardPending != 0) return ViewRequest::StepForward();
  if (state.StepBackwardPending != 0) return ViewRequest::StepBack();
  if (state.InputFilterPending != 0) return ViewRequest::Input(state.InputNumber);
  if (state.DateSearchPending == 1) return ViewRequest::Date(state.SearchDateKey);
  return ViewRequest::Block(state.BlocksBack);
}

}  // namespace torv
