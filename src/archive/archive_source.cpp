#include "archive/archive_source.h"

#include "archive/archive_reader.h"

namespace torv {
namespace {

class DiskArchiveSource : public ArchiveSource {
 public:
  Result<ArchiveImage> Read(const std::string& archiveFileName) const override {
    return ReadArchiveFile(archiveFileName);
  }
};

}  // namespace

const ArchiveSource& FileArchiveSource() {
  static const DiskArchiveSource source;
  return source;
}

}  // namespace torv
