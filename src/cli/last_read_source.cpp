#include "cli/last_read_source.h"

namespace torv {

Result<ArchiveImage> LastReadSource::Read(const std::string& archiveFileName) const {
  Result<ArchiveImage> image = FileArchiveSource().Read(archiveFileName);
  if (image) lastWriteOffset_ = image->writeOffset;
  return image;
}

}  // namespace torv
