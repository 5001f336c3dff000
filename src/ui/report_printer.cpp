#include "ui/report_printer.h"

// Qt
#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLocale>
#include <QPageRanges>
#include <QPageSize>
#include <QPaintDevice>
#include <QPrinter>
#include <QScreen>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>

#include "report/report_tab_stops.h"

namespace torv {
namespace {

// The resolution Qt lays text out for when no paint device is set. On a
// paint device Qt multiplies every tab position by the device's resolution
// over this one, so positions are given in these units.
qreal LayoutDpi() {
  if (QCoreApplication::testAttribute(Qt::AA_Use96Dpi)) return 96;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    return qRound(screen->logicalDotsPerInchY());
  }
  return 100;
}

void GiveEveryLineTheTabs(const QTextDocument& document, QTextCursor& cursor) {
  QTextBlockFormat format;
  format.setTabPositions(document.defaultTextOption().tabs());
  cursor.select(QTextCursor::Document);
  cursor.mergeBlockFormat(format);
}

}  // namespace

QList<QTextOption::Tab> ReportTabs(const QFont& font, const QPaintDevice* device) {
  // QFontMetricsF takes a non-const device but only reads its resolution.
  const QFontMetricsF metrics =
      device ? QFontMetricsF(font, const_cast<QPaintDevice*>(device)) : QFontMetricsF(font);
  const ReportTabStops stops = ComputeReportTabStops([&metrics](std::string_view text) {
    return metrics.horizontalAdvance(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  });
  const qreal scale = device ? device->logicalDpiY() / LayoutDpi() : 1;
  QList<QTextOption::Tab> tabs;
  for (const double stop : stops) tabs.append(QTextOption::Tab(stop / scale, QTextOption::LeftTab));
  return tabs;
}

void SetReportTabStops(QTextDocument& document) {
  QTextOption option = document.defaultTextOption();
  option.setTabs(ReportTabs(document.defaultFont(), document.documentLayout()->paintDevice()));
  document.setDefaultTextOption(option);
}

void SetReportText(QTextDocument& document, const QString& text) {
  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  document.setPlainText(text);
  GiveEveryLineTheTabs(document, cursor);
  cursor.endEditBlock();
}

void ApplyReportTabStops(QTextDocument& document) {
  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  GiveEveryLineTheTabs(document, cursor);
  cursor.endEditBlock();
}

void UseLocalPaper(QPrinter& printer, const QLocale& locale) {
  const bool letter = locale.measurementSystem() == QLocale::ImperialUSSystem;
  printer.setPageSize(QPageSize(letter ? QPageSize::Letter : QPageSize::A4));
}

QFont PrintFont(const QFont& paneFont) {
  QFont font = paneFont;
  font.setPointSize(kPrintPointSize);
  return font;
}

void PrintPlainText(QPrinter& printer, const QString& text, const QString& jobTitle,
                    const QFont& font) {
  printer.setDocName(jobTitle);
  // The whole text is always printed; QTextDocument would otherwise honour
  // the range entered in the print dialog.
  printer.setPrintRange(QPrinter::AllPages);
  printer.setPageRanges(QPageRanges());

  QTextDocument document;
  document.setDocumentMargin(0);
  document.setDefaultFont(font);
  // Laid out in the printer's own device pixels on a page exactly the size of
  // its printable area, QTextDocument::print scales by 1 and adds no margins.
  document.documentLayout()->setPaintDevice(&printer);
  SetReportTabStops(document);
  SetReportText(document, text);
  document.setPageSize(printer.pageRect(QPrinter::DevicePixel).size());
  document.print(&printer);
}

QString SelectionPrintout(const QString& headerLine, const QString& selectedText) {
  QString selection = selectedText;
  selection.replace(QChar::ParagraphSeparator, u'\n');
  selection.replace(QChar::LineSeparator, u'\n');
  return kSelectionHeading.toString() + u'\n' + headerLine + u'\n' + selection;
}

}  // namespace torv
