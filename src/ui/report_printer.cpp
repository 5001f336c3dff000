#include "ui/report_printer.h"

// Qt
#include <QAbstractTextDocumentLayout>
#include <QPageRanges>
#include <QPrinter>
#include <QTextDocument>

namespace torv {

void PrintPlainText(QPrinter& printer, const QString& text, const QString& jobTitle) {
  printer.setDocName(jobTitle);
  // The whole text is always printed; QTextDocument would otherwise honour
  // the range entered in the print dialog.
  printer.setPrintRange(QPrinter::AllPages);
  printer.setPageRanges(QPageRanges());

  QTextDocument document;
  document.setDocumentMargin(0);
  document.setPlainText(text);
  // Laid out in the printer's own device pixels on a page exactly the size of
  // its printable area, QTextDocument::print scales by 1 and adds no margins.
  document.documentLayout()->setPaintDevice(&printer);
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
