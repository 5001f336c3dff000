// A write-only QIODevice that hands what Qt writes to a TextSink in pieces
// of a bounded size, so that a PDF writer's output goes on to a file (or a
// stream) as its pages are drawn instead of piling up in memory.
#pragma once

// Qt
#include <QByteArray>
#include <QIODevice>

#include "history_report/event_list.h"

namespace torv {

class SinkDevice : public QIODevice {
 public:
  explicit SinkDevice(const TextSink& sink);
  ~SinkDevice() override;
  SinkDevice(const SinkDevice&) = delete;
  SinkDevice& operator=(const SinkDevice&) = delete;

  bool isSequential() const override { return true; }
  // Hands on what is still held.
  void Flush();
  void close() override;

 protected:
  qint64 readData(char* data, qint64 maxSize) override;
  qint64 writeData(const char* data, qint64 size) override;

 private:
  const TextSink& sink_;
  // The PDF writer writes a few bytes at a time; the sink gets larger pieces.
  QByteArray held_;
};

}  // namespace torv
