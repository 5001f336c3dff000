#include "history_print/history_pdf.h"

// Qt
#include <QCoreApplication>
#include <QGuiApplication>

// Std
#include <cerrno>
#include <memory>

#include "history_print/report_layout.h"
#include "report/atomic_write.h"

namespace torv {
namespace {

// A GUI application for the time of one call when the process has none:
// fonts and painting need one. "-platform offscreen" wins over
// QT_QPA_PLATFORM and needs no display.
class GuiApplicationForCall {
 public:
  GuiApplicationForCall() {
    if (QCoreApplication::instance() == nullptr) {
      application_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
  }
  bool Ready() const {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
  }

 private:
  char name_[16] = "torvdoc";
  char option_[16] = "-platform";
  char platform_[16] = "offscreen";
  char* argv_[4] = {name_, option_, platform_, nullptr};
  int argc_ = 3;
  std::unique_ptr<QGuiApplication> application_;
};

}  // namespace

Status WriteHistoryPdf(history::HistoryStore& store, const history::EventQuery& query,
                       const HistoryReportHeading& heading, const std::string& path) {
  GuiApplicationForCall application;
  if (!application.Ready()) {
    return Failure{"a PDF needs Qt's GUI application, and this process runs another kind"};
  }
  Result<QByteArray> bytes = HistoryPdfBytes(store, query, heading);
  if (!bytes) return bytes.failure();
  errno = 0;
  if (!WriteFileAtomically(
          path, std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())))) {
    const int error = errno != 0 ? errno : EIO;
    return Failure{path + ": " + SystemFailure(error).reason, error};
  }
  return {};
}

}  // namespace torv
