// The PDF module: the history report's PDF writer, loaded by
// history_report/history_pdf.cpp when a caller first asks for a PDF.
#include "history_report/history_pdf.h"

// Qt
#include <QCoreApplication>
#include <QGuiApplication>
#include <QString>
#include <QtGlobal>

// Std
#include <functional>
#include <memory>
#include <vector>

#include "history_print/chart_image.h"
#include "history_print/report_layout.h"
#include "history_print/sink_device.h"
#include "history_print/text_report_layout.h"

namespace torv {
namespace {

// Qt's notes that change nothing for a report: debug and info messages, and
// the warning that XDG_RUNTIME_DIR is unset (Qt then takes a folder of its
// own). They would stand among the command line's messages on standard
// error, where a script reads them as faults.
QtMessageHandler previousHandler = nullptr;

void QuietMessageHandler(QtMsgType type, const QMessageLogContext& context,
                         const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg) return;
  if (type == QtWarningMsg && message.startsWith(QStringLiteral("QStandardPaths: "))) return;
  if (previousHandler != nullptr) previousHandler(type, context, message);
}

// A GUI application for the time of one call when the process has none:
// fonts and painting need one. "-platform offscreen" wins over
// QT_QPA_PLATFORM and needs no display.
class GuiApplicationForCall {
 public:
  GuiApplicationForCall() {
    if (QCoreApplication::instance() == nullptr) {
      previousHandler = qInstallMessageHandler(QuietMessageHandler);
      application_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
  }
  ~GuiApplicationForCall() {
    if (application_ == nullptr) return;
    application_.reset();
    qInstallMessageHandler(previousHandler);
  }
  GuiApplicationForCall(const GuiApplicationForCall&) = delete;
  GuiApplicationForCall& operator=(const GuiApplicationForCall&) = delete;
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

constexpr char kNeedsGuiApplication[] =
    "a PDF needs Qt's GUI application, and this process runs another kind";

// The bytes `write` gives, with a GUI application for the time of the call.
Result<std::string> PdfOf(const std::function<Result<QByteArray>()>& write) {
  GuiApplicationForCall application;
  if (!application.Ready()) {
    return Failure{kNeedsGuiApplication};
  }
  Result<QByteArray> bytes = write();
  if (!bytes) return bytes.failure();
  return std::string(bytes->constData(), static_cast<std::size_t>(bytes->size()));
}

Status PdfDocument(history::HistoryStore& store, const history::EventQuery& query,
                   const HistoryReportHeading& heading, const TextSink& sink) {
  GuiApplicationForCall application;
  if (!application.Ready()) return Failure{kNeedsGuiApplication};
  SinkDevice out(sink);
  Status written = WriteHistoryReportPdf(out, store, query, heading);
  out.close();
  return written;
}

Result<std::string> TextPdfDocument(const HistoryReportHeading& heading,
                                    const std::vector<std::string>& lines) {
  return PdfOf([&] { return TextReportPdfBytes(heading, lines); });
}

Result<std::string> ChartImage(const ChartData& chart, std::string_view format, int width,
                               int height) {
  return PdfOf([&] {
    return ChartImageBytes(chart,
                           QString::fromUtf8(format.data(), static_cast<qsizetype>(format.size())),
                           QSize(width, height));
  });
}

const HistoryPdfModule kModule{
    {TORVDOC_VERSION, sizeof(HistoryPdfModule)}, &PdfDocument, &TextPdfDocument, &ChartImage};

}  // namespace
}  // namespace torv

extern "C" __attribute__((visibility("default"))) const torv::HistoryPdfModule*
torvdoc_pdf_module() {
  return &torv::kModule;
}
