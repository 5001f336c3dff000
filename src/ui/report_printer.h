// Printing the report pane's text, whole or as a selection printout, and the
// tab stops that line up the report's columns in the panes and on paper.
#pragma once

// Qt
#include <QFont>
#include <QList>
#include <QString>
#include <QStringView>
#include <QTextOption>

class QLocale;
class QPaintDevice;
class QPrinter;
class QTextDocument;

namespace torv {

// Job titles: the selection's has two spaces after "Печать", its first
// printed line only one.
inline constexpr QStringView kWholeReportJobTitle = u"Печать всего архива";
inline constexpr QStringView kSelectionJobTitle = u"Печать  выделенной части архива";
inline constexpr QStringView kSelectionHeading = u"Печать выделенной части архива";

// Paper is read at this size, larger than the panes' screen font.
inline constexpr int kPrintPointSize = 10;

// The report's tab stops (report/report_tab_stops.h) for text in `font` laid
// out on `device`, or on the screen when `device` is null.
QList<QTextOption::Tab> ReportTabs(const QFont& font, const QPaintDevice* device);

// Keeps the report's tab stops for `document`'s default font, laid out on
// its layout's paint device, as the document's default tabs. Called before
// the text is set (SetReportText, ApplyReportTabStops give them to the
// lines), and again after the font or the device changes.
void SetReportTabStops(QTextDocument& document);

// Replaces the text of `document` by `text` (lines separated by "\n"), every
// line with the tabs kept by SetReportTabStops: Qt lays a line out with its
// own tab positions, never with the document's default ones. One edit, so
// that the document is laid out once.
void SetReportText(QTextDocument& document, const QString& text);

// Gives every line of `document` the tabs kept by SetReportTabStops, for a
// text already in place: a report pane's after QTextEdit::setPlainText.
void ApplyReportTabStops(QTextDocument& document);

// The paper of a new print job: the size usual where the user lives, Letter
// in the United States and A4 elsewhere.
void UseLocalPaper(QPrinter& printer, const QLocale& locale);

// The font of the printout: the pane's font at kPrintPointSize.
QFont PrintFont(const QFont& paneFont);

// Prints `text` (lines separated by "\n") in `font` as one job named
// `jobTitle` on `printer`: laid out on the printable area with no margins of
// our own and the report's tab stops, page after page until the text is used
// up. Every page is printed, whatever page range the print dialog was given.
void PrintPlainText(QPrinter& printer, const QString& text, const QString& jobTitle,
                    const QFont& font);

// The text of a selection printout: kSelectionHeading, the report's header
// line, then the selected text with its line breaks. `selectedText` is as
// QTextEdit gives it, with U+2029 between paragraphs.
QString SelectionPrintout(const QString& headerLine, const QString& selectedText);

}  // namespace torv
