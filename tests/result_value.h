// The value of a Result in a test, or a failure of the test with the reason.
#pragma once

#include <gtest/gtest.h>

#include "archive/result.h"

namespace torv::testing {

template <typename T>
T ValueOf(const Result<T>& result) {
  if (!result) {
    ADD_FAILURE() << "failed: " << result.failure().reason;
    return T{};
  }
  return *result;
}

}  // namespace torv::testing
