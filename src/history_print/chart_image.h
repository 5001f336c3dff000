// The chart of events over time as an image file: PNG or SVG, drawn by the
// same code the window and the printed report draw it with.
#pragma once

// Qt
#include <QByteArray>
#include <QSize>
#include <QString>

#include "archive/result.h"
#include "history_report/chart_data.h"

namespace torv {

// The file's bytes; `format` is "png" or "svg".
Result<QByteArray> ChartImageBytes(const ChartData& chart, const QString& format, QSize size);

}  // namespace torv
