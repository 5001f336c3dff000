// The layout of an archive fuzzer input, shared by the fuzzer and the tool
// that writes its seed corpus.
//
// An input is a short program of view requests followed by archive bytes:
//   byte 0         bits 0-1: number of requests - 1 (1 to 4)
//                  bits 2-7: 63 asks for the whole-archive report at the end
//   bytes 1-8      two bytes per request: its kind and its parameter
//   bytes 9-13     the raw date key for kDateSearchRawKey
//   byte 14        free: changes the input's hash (see RunsWholeReport)
//   bytes 15-...   the archive file, of any length (the reader takes what
//                  there is, as from a short or long file)
// A shorter input reads as if padded with zero bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace torv::fuzz {

inline constexpr std::size_t kMaxRequests = 4;
inline constexpr std::size_t kRequestsAt = 1;
inline constexpr std::size_t kRawKeyAt = kRequestsAt + 2 * kMaxRequests;  // 9
inline constexpr std::size_t kRawKeySize = 5;
inline constexpr std::size_t kSaltAt = kRawKeyAt + kRawKeySize;  // 14
inline constexpr std::size_t kProgramSize = kSaltAt + 1;         // 15
inline constexpr std::uint8_t kWholeReportBits = 63;
inline constexpr int kWholeReportShift = 2;

enum RequestKind : std::uint8_t {
  kPlainView,         // BlocksBack from the parameter, odd values included
  kNewestBlock,       // BlocksBack 1
  kOldestBlock,       // BlocksBack 64
  kStepBack,          // StepBackwardPending
  kStepForward,       // StepForwardPending
  kBothSteps,         // both step flags: the step forward wins
  kDateSearchOfSlot,  // the key is the day and month of ring slot 4 * parameter
  kDateSearchRawKey,  // the key is bytes 9-13, whatever they hold
  kInputView,         // InputNumber from the parameter
  kFlagMix,           // the parameter's bits set several flags at once
  kUnreadable,        // the source cannot read the archive
  kNoArchiveName,     // ArchiveFileName is empty
  kRequestKindCount,
};

// The first byte of a program of `requestCount` requests (1 to 4).
constexpr std::uint8_t ProgramHeader(std::size_t requestCount, bool wholeReport) {
  return static_cast<std::uint8_t>((requestCount - 1) |
                                   (wholeReport ? kWholeReportBits << kWholeReportShift : 0));
}

// The whole-archive report costs 65 view requests. Inputs that ask for it
// stay in the corpus for its coverage, and their mutants would soon make most
// executions pay for it; so only those whose FNV-1a hash is 0 modulo 16 run
// it, whatever the corpus holds.
inline constexpr std::uint32_t kWholeReportOneIn = 16;

constexpr std::uint32_t InputHash(const std::uint8_t* data, std::size_t size) {
  std::uint32_t hash = 2166136261u;
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
  return hash;
}

constexpr bool RunsWholeReport(const std::uint8_t* data, std::size_t size) {
  return size > 0 && (data[0] >> kWholeReportShift) == kWholeReportBits &&
         InputHash(data, size) % kWholeReportOneIn == 0;
}

}  // namespace torv::fuzz
