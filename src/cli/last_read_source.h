// The archive source of the command-line tool: reads files like the window
// does and keeps the WriteOffset of the last read for the exports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "archive/view_engine.h"

namespace torv {

class LastReadSource : public ArchiveSource {
 public:
  Result<ArchiveImage> Read(const std::string& archiveFileName) const override;

  // The WriteOffset of the last archive read; nothing before the first read
  // that succeeded.
  std::optional<std::int32_t> LastWriteOffset() const { return lastWriteOffset_; }

 private:
  // The engine takes its source as const; remembering what passed through
  // does not change what is read.
  mutable std::optional<std::int32_t> lastWriteOffset_;
};

}  // namespace torv
