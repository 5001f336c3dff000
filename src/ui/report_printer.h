// Printing the report pane's text, whole or as a selection printout.
#pragma once

// Qt
#include <QString>
#include <QStringView>

class QPrinter;

namespace torv {

// Job titles: the selection's has two spaces after "Печать", its first
// printed line only one.
inline constexpr QStringView kWholeReportJobTitle = u"Печать всего архива";
inline constexpr QStringView kSelectionJobTitle = u"Печать  выделенной части архива";
inline constexpr QStringView kSelectionHeading = u"Печать выделенной части архива";

// Prints `text` (lines separated by "\n") as one job named `jobTitle` on
// `printer`: laid out on the printable area with no margins of our own, page
// after page until the text is used up. Every page is printed, whatever page
// range the print dialog was given.
void PrintPlainText(QPrinter& printer, const QString& text, const QString& jobTitle);

// The text of a selection printout: kSelectionHeading, the report's header
// line, then the selected text with its line breaks. `selectedText` is as
// QTextEdit gives it, with U+2029 between paragraphs.
QString SelectionPrintout(const QString& headerLine, const QString& selectedText);

}  // namespace torv
