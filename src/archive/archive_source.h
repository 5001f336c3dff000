// Where a view request reads the archive from. The program reads files;
// fuzzing, benchmarks and tests hand over bytes held in memory.
#pragma once

#include <string>

#include "archive/archive_format.h"
#include "archive/result.h"

namespace torv {

class ArchiveSource {
 public:
  virtual ~ArchiveSource() = default;
  // The archive named `archiveFileName`, or why it cannot be read.
  virtual Result<ArchiveImage> Read(const std::string& archiveFileName) const = 0;
};

// Reads the named file from disk, anew at every request.
const ArchiveSource& FileArchiveSource();

// One image, whatever name is asked for.
class ImageArchiveSource : public ArchiveSource {
 public:
  explicit ImageArchiveSource(const ArchiveImage& image) : image_(image) {}
  Result<ArchiveImage> Read(const std::string& /*archiveFileName*/) const override {
    return image_;
  }

 private:
  ArchiveImage image_;
};

}  // namespace torv
