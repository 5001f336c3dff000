// A printed report whose body is lines of text under the common heading:
// the alarm statistics on paper. A line's leading spaces indent it (and its
// wrapped rest); a line without them titles its section, in bold. Pages
// break between lines, and every page ends with "стр. N из M".
#pragma once

// Qt
#include <QByteArray>

// Std
#include <string>
#include <vector>

#include "archive/result.h"
#include "history_report/report_heading.h"

class QPagedPaintDevice;

namespace torv {

Status PaintTextReport(QPagedPaintDevice& device, const HistoryReportHeading& heading,
                       const std::vector<std::string>& lines);

// The report as PDF bytes, on the default page layout.
Result<QByteArray> TextReportPdfBytes(const HistoryReportHeading& heading,
                                      const std::vector<std::string>& lines);

}  // namespace torv
