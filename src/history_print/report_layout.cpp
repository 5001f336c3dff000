#include "history_print/report_layout.h"

// Std
#include <cmath>
#include <optional>

// Qt
#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QLocale>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QStringList>
#include <QTextOption>

#include "archive/event_table.h"
#include "history_print/chart_drawing.h"
#include "history_print/report_page.h"
#include "history_print/row_marks.h"
#include "history_report/event_list.h"

namespace torv {
namespace {

constexpr double kTablePoints = 9;
constexpr double kChartPoints = 7;
constexpr double kChartHeightMm = 55;
constexpr double kCellPaddingMm = 1.2;
// Inside the first cell's padding, left of its text.
constexpr double kMarkBandMm = 1.0;
constexpr double kRowPaddingMm = 0.8;
// The two columns of free text share what the fixed ones leave; a long
// device name wraps rather than take more than this of it.
constexpr double kMaxDeviceShare = 0.45;

constexpr int kDeviceColumn = kPrintedDeviceColumn;
constexpr int kEventColumn = kPrintedEventColumn;
constexpr int kNameColumn = kPrintedNameColumn;
constexpr int kColumns = kPrintedColumns;

const QColor kHeaderFill(0xE4, 0xE9, 0xEA);
const QColor kGapFill(0xFF, 0xF1, 0xCC);
const QColor kRuleColour(0xA0, 0xA8, 0xAA);

// Where everything goes, in the device's pixels.
class PageGeometry {
 public:
  // `devices`: every device name the rows show, for the width of their column.
  PageGeometry(QPainter& painter, QPagedPaintDevice& device, const QStringList& devices)
      : painter_(painter), pixelsPerMm_(device.logicalDpiX() / 25.4) {
    const QRect paintRect = device.pageLayout().paintRectPixels(device.logicalDpiX());
    width_ = paintRect.width();
    height_ = paintRect.height();
    padding_ = Mm(kCellPaddingMm);
    rowPadding_ = Mm(kRowPaddingMm);
    body_ = ReportFont(kTablePoints);
    bold_ = ReportFont(kTablePoints, true);
    italic_ = ReportFont(kTablePoints, false, true);
    MeasureColumns(device, devices);
    wrap_.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    headerHeight_ = QFontMetricsF(bold_, &device).lineSpacing() + 2 * rowPadding_;
    lineHeight_ = QFontMetricsF(body_, &device).lineSpacing();
    footerTop_ = height_ - QFontMetricsF(ReportFont(kFooterPoints), &device).lineSpacing();
    tableBottom_ = footerTop_ - Mm(kFooterGapMm);
  }

  double Mm(double mm) const { return mm * pixelsPerMm_; }
  double Width() const { return width_; }
  double FooterTop() const { return footerTop_; }
  double TableBottom() const { return tableBottom_; }
  double HeaderHeight() const { return headerHeight_; }
  double ColumnLeft(int column) const { return lefts_[static_cast<std::size_t>(column)]; }
  double ColumnWidth(int column) const { return widths_[static_cast<std::size_t>(column)]; }
  double Padding() const { return padding_; }
  double RowPadding() const { return rowPadding_; }
  const QFont& Body() const { return body_; }
  const QFont& Bold() const { return bold_; }
  const QFont& Italic() const { return italic_; }
  const QTextOption& Wrap() const { return wrap_; }

  double RowHeight(const PrintedRow& row) {
    double lines = lineHeight_;
    if (row.gap) {
      lines = std::max(TextHeight(row.cells[kDeviceColumn], kDeviceColumn),
                       TextHeight(row.cells[kEventColumn], kColumns));
    } else {
      lines = std::max({lineHeight_, TextHeight(row.cells[kDeviceColumn], kDeviceColumn),
                        TextHeight(row.cells[kNameColumn], kNameColumn)});
    }
    return lines + 2 * rowPadding_;
  }

  // The width of a gap row's text: from the date column to the end.
  double GapTextWidth() const { return width_ - ColumnLeft(1) - 2 * padding_; }

 private:
  // The height of `text` wrapped in `column` (kColumns: a gap row's text).
  double TextHeight(const QString& text, int column) {
    if (text.isEmpty()) return lineHeight_;
    QHash<QString, double>& cache = heights_[column == kColumns ? 2 : column == kNameColumn];
    const auto found = cache.constFind(text);
    if (found != cache.cend()) return *found;
    const double width = column == kColumns ? GapTextWidth() : ColumnWidth(column) - 2 * padding_;
    painter_.setFont(column == kColumns ? italic_ : body_);
    const double height = painter_.boundingRect(QRectF(0, 0, width, 1e9), text, wrap_).height();
    cache.insert(text, height);
    return height;
  }

  void MeasureColumns(QPagedPaintDevice& device, const QStringList& devices) {
    const QFontMetricsF body(body_, &device);
    const QFontMetricsF bold(bold_, &device);
    for (int c = 0; c < kColumns; ++c) {
      widths_[static_cast<std::size_t>(c)] =
          bold.horizontalAdvance(QString::fromUtf8(kListColumns[static_cast<std::size_t>(c)]));
    }
    const auto widen = [&](int column, const QString& text) {
      double& width = widths_[static_cast<std::size_t>(column)];
      width = std::max(width, body.horizontalAdvance(text));
    };
    widen(1, QStringLiteral("00.00.0000"));
    widen(2, QStringLiteral("000:000:000"));
    for (int code = 0; code < 256; ++code) {
      const std::string_view text = EventTextTable(static_cast<std::uint8_t>(code));
      widen(kEventColumn, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    widen(kEventColumn, QString::fromUtf8(kDamagedRecordText.data(),
                                          static_cast<qsizetype>(kDamagedRecordText.size())));
    widen(4, QStringLiteral("256"));
    widen(5, QStringLiteral("256"));
    double fixed = 0;
    for (int c = 1; c < kNameColumn; ++c) {
      widths_[static_cast<std::size_t>(c)] += 2 * padding_;
      fixed += widths_[static_cast<std::size_t>(c)];
    }
    // The device column as wide as its longest name, up to its share.
    const double rest = std::max(width_ - fixed, Mm(30));
    double widest = widths_[kDeviceColumn];
    for (const QString& name : devices) widest = std::max(widest, body.horizontalAdvance(name));
    widths_[kDeviceColumn] = std::min(widest + 2 * padding_, rest * kMaxDeviceShare);
    widths_[kNameColumn] = rest - widths_[kDeviceColumn];
    double left = 0;
    for (int c = 0; c < kColumns; ++c) {
      lefts_[static_cast<std::size_t>(c)] = left;
      left += widths_[static_cast<std::size_t>(c)];
    }
  }

  QPainter& painter_;
  double pixelsPerMm_;
  double width_ = 0;
  double height_ = 0;
  double padding_ = 0;
  double rowPadding_ = 0;
  double headerHeight_ = 0;
  double lineHeight_ = 0;
  double footerTop_ = 0;
  double tableBottom_ = 0;
  QFont body_;
  QFont bold_;
  QFont italic_;
  QTextOption wrap_;
  std::array<double, kColumns> widths_{};
  std::array<double, kColumns> lefts_{};
  // Wrapped heights by text: devices, names, gap texts repeat on many rows.
  std::array<QHash<QString, double>, 3> heights_;
};

// The heading's height, drawn when `paint` is set.
double DrawHeading(QPainter& painter, const PageGeometry& page, const HistoryReportHeading& heading,
                   const std::vector<std::string>& opening, bool paint) {
  return DrawReportHeading(painter, page.Width(), page.Mm(1), page.Wrap(), heading, opening, paint);
}

void DrawTableHeader(QPainter& painter, const PageGeometry& page, double top) {
  const QRectF band(0, top, page.Width(), page.HeaderHeight());
  painter.fillRect(band, kHeaderFill);
  painter.setPen(kRuleColour);
  painter.drawLine(band.bottomLeft(), band.bottomRight());
  painter.setPen(Qt::black);
  painter.setFont(page.Bold());
  for (int c = 0; c < kColumns; ++c) {
    const QRectF cell(page.ColumnLeft(c) + page.Padding(), top + page.RowPadding(),
                      page.ColumnWidth(c) - 2 * page.Padding(), page.HeaderHeight());
    painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop,
                     QString::fromUtf8(kListColumns[static_cast<std::size_t>(c)]));
  }
}

void DrawRow(QPainter& painter, const PageGeometry& page, const PrintedRow& row, double top,
             double height) {
  const double textTop = top + page.RowPadding();
  const QRectF band(0, top, page.Width(), height);
  if (row.gap) {
    painter.fillRect(band, kGapFill);
  } else if (const QColor tint = RowMarkTint(row.mark); tint.isValid()) {
    painter.fillRect(band, tint);
    DrawRowMarkBand(painter, band, page.Mm(kMarkBandMm), row.mark);
  }
  painter.setPen(Qt::black);
  for (int c = 0; c < kColumns; ++c) {
    const QString& text = row.cells[static_cast<std::size_t>(c)];
    if (text.isEmpty()) continue;
    const bool gapText = row.gap && c != kDeviceColumn;
    const double width = gapText ? page.GapTextWidth() : page.ColumnWidth(c) - 2 * page.Padding();
    const double left = page.ColumnLeft(gapText ? 1 : c) + page.Padding();
    // Marked rows keep the body font: the columns are measured in it.
    painter.setFont(gapText ? page.Italic() : page.Body());
    painter.drawText(QRectF(left, textTop, width, height), text, page.Wrap());
  }
  painter.setPen(QPen(kRuleColour, 0));
  painter.drawLine(QPointF(0, top + height), QPointF(page.Width(), top + height));
}

void DrawFooter(QPainter& painter, const PageGeometry& page, const std::string& stamp, int number,
                int count) {
  DrawPageFooter(painter, QRectF(0, page.FooterTop(), page.Width(), page.Mm(10)), stamp, number,
                 count);
}

// The chart is laid out in screen pixels (its axis, legend and dates take
// room by the pixel): drawn at 96 pixels to the inch and scaled to the
// page's resolution, with its font in those pixels, it looks on paper as
// it does on screen.
void DrawPrintedChart(QPainter& painter, const QPaintDevice& device, const QRectF& rect,
                      const ChartData& chart) {
  constexpr double kScreenDpi = 96;
  const double scale = device.logicalDpiX() / kScreenDpi;
  painter.save();
  painter.translate(rect.topLeft());
  painter.scale(scale, scale);
  QFont font = ReportFont(kChartPoints);
  font.setPixelSize(static_cast<int>(std::lround(kChartPoints * kScreenDpi / 72)));
  painter.setFont(font);
  DrawChart(painter, QRectF(0, 0, rect.width() / scale, rect.height() / scale), chart);
  painter.restore();
}

// The chart's share of the first page, the gap under it included; none
// without bars.
double ChartHeight(const PageGeometry& page, const PrintedFrame& frame) {
  return frame.chart.bars.empty() ? 0 : page.Mm(kChartHeightMm + kHeadingGapMm);
}

// Where the table's rows go: a row that does not fit under the last starts
// the next page (unless it stands first on its page, where it overflows).
class TablePages {
 public:
  TablePages(const PageGeometry& page, double tableTop)
      : page_(page), y_(tableTop + page.HeaderHeight()) {}
  // Places the next row; true when it starts a page.
  bool Place(double height) {
    const bool starts = y_ + height > page_.TableBottom() && rowsOnPage_ > 0;
    if (starts) {
      ++pages_;
      rowsOnPage_ = 0;
      y_ = page_.HeaderHeight();
    }
    y_ += height;
    ++rowsOnPage_;
    return starts;
  }
  int Pages() const { return pages_; }
  // Below the last row.
  double Y() const { return y_; }

 private:
  const PageGeometry& page_;
  double y_;
  int pages_ = 1;
  std::size_t rowsOnPage_ = 0;
};

const QString kNoRowsText = QStringLiteral("Событий, отвечающих отбору, нет.");

}  // namespace

QPageLayout DefaultReportPageLayout() {
  const QPageSize paper(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem
                            ? QPageSize::Letter
                            : QPageSize::A4);
  return QPageLayout(paper, QPageLayout::Portrait,
                     QMarginsF(kReportMarginMm, kReportMarginMm, kReportMarginMm, kReportMarginMm),
                     QPageLayout::Millimeter);
}

Status PaintHistoryReport(QPagedPaintDevice& device, history::HistoryStore& store,
                          const history::EventQuery& query, const HistoryReportHeading& heading,
                          const PrintedFrame& frame) {
  QPainter painter;
  if (!painter.begin(&device)) return Failure{"the report's pages cannot be drawn"};
  PageGeometry page(painter, device, frame.devices);

  // First where every row goes, so that each footer knows the page count;
  // the rows are read again to draw them.
  const double tableTop =
      DrawHeading(painter, page, heading, frame.opening, false) + ChartHeight(page, frame);
  TablePages laid(page, tableTop);
  Status s = ForEachPrintedRow(store, query, frame,
                               [&](const PrintedRow& row) { laid.Place(page.RowHeight(row)); });
  if (!s) return s;
  // The totals after the last row (or the note of none), on a page of
  // their own when that one is full.
  const bool empty = frame.rows == 0;
  const double closing = page.HeaderHeight() * (empty ? 3 : 2);
  const bool closingPage = laid.Y() + closing > page.TableBottom() && !empty;
  const int tablePages = laid.Pages();
  const int pageCount = tablePages + (closingPage ? 1 : 0);

  int p = 0;
  double top = 0;
  const auto startPage = [&]() -> Status {
    if (p > 0 && !device.newPage()) return Failure{"a new page cannot be started"};
    top = 0;
    if (p == 0) {
      top = DrawHeading(painter, page, heading, frame.opening, true);
      if (const double chart = ChartHeight(page, frame); chart > 0) {
        DrawPrintedChart(painter, device,
                         QRectF(0, top, page.Width(), chart - page.Mm(kHeadingGapMm)), frame.chart);
        top += chart;
      }
    }
    if (p < tablePages) {
      DrawTableHeader(painter, page, top);
      top += page.HeaderHeight();
    }
    return {};
  };
  const auto endPage = [&] {
    if (empty) {
      painter.setFont(page.Italic());
      painter.drawText(QRectF(page.Padding(), top + page.RowPadding(), page.Width(), page.Mm(10)),
                       Qt::AlignLeft | Qt::AlignTop, kNoRowsText);
      top += page.HeaderHeight();
    }
    if (p == pageCount - 1) {
      painter.setFont(page.Bold());
      painter.drawText(QRectF(page.Padding(), top + page.RowPadding(), page.Width(), page.Mm(10)),
                       Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(frame.totals));
    }
    DrawFooter(painter, page, frame.stamp, p + 1, pageCount);
  };

  if (s = startPage(); !s) return s;
  TablePages drawn(page, tableTop);
  std::optional<Failure> drawFailure;
  s = ForEachPrintedRow(store, query, frame, [&](const PrintedRow& row) {
    if (drawFailure) return;
    const double height = page.RowHeight(row);
    if (drawn.Place(height)) {
      // Rows that no longer fit as laid out: ForEachPrintedRow fails too.
      if (p + 1 >= tablePages) {
        drawFailure = Failure{kHistoryChangedDuringReport};
        return;
      }
      endPage();
      ++p;
      if (Status started = startPage(); !started) {
        drawFailure = started.failure();
        return;
      }
    }
    DrawRow(painter, page, row, top, height);
    top += height;
  });
  if (!s) return s;
  if (drawFailure) return *drawFailure;
  endPage();
  if (closingPage) {
    ++p;
    if (s = startPage(); !s) return s;
    endPage();
  }
  if (!painter.end()) return Failure{"the report's pages cannot be finished"};
  return {};
}

Status PrintHistoryReport(QPrinter& printer, history::HistoryStore& store,
                          const history::EventQuery& query, const HistoryReportHeading& heading) {
  Result<PrintedFrame> frame = ReadPrintedFrame(store, query);
  if (!frame) return frame.failure();
  printer.setDocName(QString::fromStdString(heading.title));
  printer.setFullPage(false);
  printer.setPageMargins(
      QMarginsF(kReportMarginMm, kReportMarginMm, kReportMarginMm, kReportMarginMm),
      QPageLayout::Millimeter);
  return PaintHistoryReport(printer, store, query, heading, *frame);
}

Status WriteHistoryReportPdf(QIODevice& out, history::HistoryStore& store,
                             const history::EventQuery& query,
                             const HistoryReportHeading& heading) {
  Result<PrintedFrame> frame = ReadPrintedFrame(store, query);
  if (!frame) return frame.failure();
  return WriteReportPdf(out, heading.title, [&](QPagedPaintDevice& writer) {
    return PaintHistoryReport(writer, store, query, heading, *frame);
  });
}

}  // namespace torv
