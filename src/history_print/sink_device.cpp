#include "history_print/sink_device.h"

namespace torv {
namespace {

constexpr qsizetype kPieceBytes = 256 * 1024;

}  // namespace

SinkDevice::SinkDevice(const TextSink& sink) : sink_(sink) {
  held_.reserve(kPieceBytes);
  open(QIODevice::WriteOnly);
}

SinkDevice::~SinkDevice() {
  SinkDevice::close();
}

void SinkDevice::Flush() {
  if (held_.isEmpty()) return;
  sink_(std::string_view(held_.constData(), static_cast<std::size_t>(held_.size())));
  held_.clear();
}

void SinkDevice::close() {
  if (!isOpen()) return;
  Flush();
  QIODevice::close();
}

qint64 SinkDevice::readData(char* /*data*/, qint64 /*maxSize*/) {
  return -1;
}

qint64 SinkDevice::writeData(const char* data, qint64 size) {
  held_.append(data, static_cast<qsizetype>(size));
  if (held_.size() >= kPieceBytes) Flush();
  return size;
}

}  // namespace torv
