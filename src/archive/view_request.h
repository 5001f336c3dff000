// What a view request asks for, and the values the window and the command
// line accept for it.
#pragma once

#include "archive/archive_format.h"

namespace torv {

// Blocks are counted back from the newest: block 1 starts at the newest
// record, block 64 ends at the oldest.
inline constexpr int kNewestBlock = 1;
inline constexpr int kOldestBlock = kBlockCount;
// The inputs of a device, as an operator numbers them.
inline constexpr int kFirstInputNumber = 1;
inline constexpr int kLastInputNumber = 32;

constexpr bool IsBlockNumber(long long number) {
  return number >= kNewestBlock && number <= kOldestBlock;
}
constexpr bool IsInputNumber(long long number) {
  return number >= kFirstInputNumber && number <= kLastInputNumber;
}

}  // namespace torv
