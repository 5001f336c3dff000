#include "archive/result.h"

#include <cstring>

namespace torv {

Failure SystemFailure(int errorNumber) {
  return Failure{std::strerror(errorNumber), errorNumber};
}

}  // namespace torv
