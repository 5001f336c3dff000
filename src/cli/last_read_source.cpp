#include "cli/last_read_source.h"

namespace torv {

std::optional<ArchiveImage> LastReadSource::Read(const std::string& archiveFileName) const {
  std::optional<ArchiveImage> image = FileArchiveSource().Read(archiveFileName);
  if (image) lastWriteOffset_ = image->writeOffset;
  return image;
}

}  // namespace torv
