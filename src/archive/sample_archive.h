// Building archive files: record by record for tests, or a generated,
// realistic archive for demos and benchmarks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_format.h"

namespace torv {

ArchiveRecord MakeRecord(std::uint8_t code, std::uint8_t number, std::uint8_t hours,
                         std::uint8_t minutes, std::uint8_t seconds, std::uint8_t day,
                         std::uint8_t month, std::uint8_t spare = 0);

// An archive file's bytes, built slot by slot.
class ArchiveBuilder {
 public:
  ArchiveBuilder();
  // Slot k lies at ring offset 8 * k.
  ArchiveBuilder& SetSlot(int slot, const ArchiveRecord& record);
  ArchiveBuilder& SetWriteOffset(std::int32_t writeOffset);
  // Fills every slot with the same record.
  ArchiveBuilder& FillAll(const ArchiveRecord& record);
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

struct SampleOptions {
  std::uint32_t seed = 1;
  // Records the device has written since it was new. 0 gives an empty
  // archive (WriteOffset 255); more than 1024 gives a wrapped ring.
  int fill = 1500;
};

// A deterministic archive: times and dates that increase record by record,
// input events of every kind, device events, relay events, codes without
// text, damaged records, unset times and dates, and garbage in the spare
// byte. Always 8196 bytes.
std::vector<std::uint8_t> GenerateArchive(const SampleOptions& options);

}  // namespace torv
