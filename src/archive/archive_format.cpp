#include "archive/archive_format.h"

#include <algorithm>

namespace torv {

bool ArchiveRecord::IsEmpty() const {
  return std::all_of(bytes.begin(), bytes.begin() + kSpareByte,
                     [](std::uint8_t b) { return b == 0; });
}

ArchiveRecord ArchiveImage::RecordAt(int offset) const {
  const int start = NormalizeRingOffset(offset);
  ArchiveRecord record;
  std::copy_n(ring.begin() + start, kRecordSize, record.bytes.begin());
  return record;
}

ArchiveImage ImageFromBytes(const std::uint8_t* bytes, std::size_t size) {
  ArchiveImage image;
  const std::size_t ringBytes = std::min<std::size_t>(size, kRingSize);
  std::copy_n(bytes, ringBytes, image.ring.begin());
  std::uint32_t offset = 0;
  // Little-endian; bytes past the end of the file stay zero.
  for (int i = 0; i < kWriteOffsetSize; ++i) {
    const std::size_t at = kRingSize + static_cast<std::size_t>(i);
    if (at < size) offset |= static_cast<std::uint32_t>(bytes[at]) << (8 * i);
  }
  image.writeOffset = static_cast<std::int32_t>(offset);
  return image;
}

std::vector<std::uint8_t> FileBytesOf(const ArchiveImage& image) {
  std::vector<std::uint8_t> bytes(image.ring.begin(), image.ring.end());
  const auto offset = static_cast<std::uint32_t>(image.writeOffset);
  for (int i = 0; i < kWriteOffsetSize; ++i)
    bytes.push_back(static_cast<std::uint8_t>(offset >> (8 * i)));
  return bytes;
}

bool IsValidWriteOffset(std::int32_t writeOffset) {
  if (writeOffset == kEmptyArchiveOffset) return true;
  return writeOffset >= 0 && writeOffset <= kRingSize && writeOffset % kRecordSize == 0;
}

int NewestOffset(std::int32_t writeOffset) {
  const int newest = static_cast<int>(writeOffset) - kRecordSize;
  return newest < 0 ? kLastRecordOffset : NormalizeRingOffset(newest);
}

int NormalizeRingOffset(int offset) {
  const long long wrapped = ((static_cast<long long>(offset) % kRingSize) + kRingSize) % kRingSize;
  return static_cast<int>(wrapped - wrapped % kRecordSize);
}

int RecordBack(int offset) {
  const int back = NormalizeRingOffset(offset) - kRecordSize;
  return back < 0 ? kLastRecordOffset : back;
}

int RecordForward(int offset) {
  const int forward = NormalizeRingOffset(offset) + kRecordSize;
  return forward > kRingSize - 1 ? 0 : forward;
}

}  // namespace torv
