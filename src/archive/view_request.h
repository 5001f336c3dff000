// What a view request asks for, and the values the window and the command
// line accept for it.
#pragma once

#include <cstdint>
#include <string>

#include "archive/archive_format.h"
#include "archive/view_state.h"

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

// One of the five views of the archive.
struct ViewRequest {
  enum class Kind {
    kBlock,        // the plain view: the block `blocksBack` - 1 blocks behind the newest
    kStepBack,     // the next older block after where the last view left ReadOffset
    kStepForward,  // the next newer block after the one the last view showed
    kDate,         // the block that starts at the newest record of `dateKey`'s day and month
    kInput,        // every input event of input `inputNumber`, newest first
  };
  Kind kind = Kind::kBlock;
  // kBlock. Any value is taken: 1 or less is the newest block, and the
  // ring has no end, so 65 is the newest block again.
  std::int32_t blocksBack = kNewestBlock;
  // kDate: the whole key, for the status line; its first five characters
  // are compared.
  std::string dateKey;
  // kInput. Any value is taken; outside 1 to 32 nothing matches.
  std::int32_t inputNumber = 0;

  static ViewRequest Block(std::int32_t blocksBack);
  static ViewRequest StepBack();
  static ViewRequest StepForward();
  static ViewRequest Date(std::string dateKey);
  static ViewRequest Input(std::int32_t inputNumber);

  bool operator==(const ViewRequest&) const = default;
};

// The request that the pending flags of `state` make, first match wins: a
// step (forward when both step flags are pending), the input view of
// InputNumber, the date search of SearchDateKey (only when
// DateSearchPending is exactly 1), else the plain view of BlocksBack.
ViewRequest PendingRequest(const ViewState& state);

}  // namespace torv
