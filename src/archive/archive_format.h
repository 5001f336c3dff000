// The ТОРВ-4 archive file.
//
// An archive file is 8196 bytes:
//   offset 0,    8192 bytes: the ring, 1024 records of 8 bytes, record k at 8 * k
//   offset 8192, 4 bytes:    WriteOffset, signed 32-bit little-endian: the ring
//                            offset the device writes next (255: empty archive)
// A record is 8 unsigned bytes: event code, input or relay number minus one,
// seconds, minutes, hours, day, month, and a spare byte that nothing reads.
// Times and dates are plain binary numbers without a year; nothing checks ranges.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace torv {

// The archive file's extension, dot included.
inline constexpr std::string_view kArchiveExtension = ".dat";

inline constexpr int kRecordSize = 8;
inline constexpr int kRecordCount = 1024;
inline constexpr int kRingSize = kRecordSize * kRecordCount;  // 8192
inline constexpr int kWriteOffsetSize = 4;
inline constexpr int kArchiveFileSize = kRingSize + kWriteOffsetSize;  // 8196
inline constexpr int kRecordsPerBlock = 16;
inline constexpr int kBlockCount = kRecordCount / kRecordsPerBlock;  // 64
inline constexpr int kLastRecordOffset = kRingSize - kRecordSize;    // 8184
inline constexpr std::int32_t kEmptyArchiveOffset = 255;
inline constexpr std::uint8_t kDamagedCode = 255;
inline constexpr std::uint8_t kUnsetByte = 255;

// Byte positions inside a record.
enum RecordByte : int {
  kCodeByte = 0,
  kNumberByte = 1,
  kSecondsByte = 2,
  kMinutesByte = 3,
  kHoursByte = 4,
  kDayByte = 5,
  kMonthByte = 6,
  kSpareByte = 7,
};

struct ArchiveRecord {
  std::array<std::uint8_t, kRecordSize> bytes{};

  std::uint8_t Code() const { return bytes[kCodeByte]; }
  std::uint8_t Number() const { return bytes[kNumberByte]; }
  std::uint8_t Seconds() const { return bytes[kSecondsByte]; }
  std::uint8_t Minutes() const { return bytes[kMinutesByte]; }
  std::uint8_t Hours() const { return bytes[kHoursByte]; }
  std::uint8_t Day() const { return bytes[kDayByte]; }
  std::uint8_t Month() const { return bytes[kMonthByte]; }

  // Bytes 0 to 6 all zero; the spare byte does not count.
  bool IsEmpty() const;
  bool IsDamaged() const { return Code() == kDamagedCode; }
  // True when the day or the month alone is 255: the record carries no date.
  bool HasNoDate() const { return Day() == kUnsetByte || Month() == kUnsetByte; }

  bool operator==(const ArchiveRecord&) const = default;
};

// The file as read: the ring image and the write offset. Bytes that the file
// did not hold are zero (empty records, zero high bytes of the offset).
struct ArchiveImage {
  std::array<std::uint8_t, kRingSize> ring{};
  std::int32_t writeOffset = 0;

  // `offset` must be a valid ring offset (a multiple of 8 from 0 to 8184).
  ArchiveRecord RecordAt(int offset) const;
};

// Builds the image from the first bytes of a file; `bytes` may be shorter or
// longer than 8196: missing bytes read as zero, extra bytes are ignored.
ArchiveImage ImageFromBytes(const std::uint8_t* bytes, std::size_t size);
inline ArchiveImage ImageFromBytes(const std::vector<std::uint8_t>& bytes) {
  return ImageFromBytes(bytes.data(), bytes.size());
}

// The 8196 bytes of a file that holds `image`: the ring, then WriteOffset.
std::vector<std::uint8_t> FileBytesOf(const ArchiveImage& image);

// 255 (empty) or a multiple of 8 from 0 to 8192 (8192 reads like 0).
bool IsValidWriteOffset(std::int32_t writeOffset);

// The newest record: WriteOffset - 8, or 8184 when that is negative.
// Only meaningful for a valid, non-empty write offset.
int NewestOffset(std::int32_t writeOffset);

// Ring steps. Any int is accepted and the result is always a valid ring
// offset, so no walk can leave the ring image.
int RecordBack(int offset);
int RecordForward(int offset);
// Maps any int to the ring offset it stands for (multiple of 8, 0..8184).
int NormalizeRingOffset(int offset);

}  // namespace torv
