// Helpers for the history window's tests: archive copies written as files
// by a simulated device, the rows the window's table shows, the rows the
// listing gives for the same query, and a driver for real modal dialogs.
#pragma once

#include <sys/stat.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QKeyEvent>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli_test_support.h"
#include "history/history_store.h"
#include "history_report/event_list.h"
#include "history_report/report_heading.h"
#include "models/device_simulation.h"
#include "temp_archive.h"

// QString in GoogleTest's messages as its text.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace torv::testing {

// Types `text` into `widget` key by key (QTest's key clicks take only
// ASCII): each character a key press and release carrying it.
inline void TypeText(QWidget* widget, const QString& text) {
  for (const QChar character : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(character));
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
  }
}

using Rows = std::vector<std::vector<std::string>>;

// Writes the device's archive as it is after each count of new events, one
// file per count, dated by the device's clock (the copy's time).
inline std::vector<std::string> WriteCopies(const TempFolder& folder,
                                            history::SimulatedDevice& device,
                                            const std::vector<int>& writes,
                                            const std::string& prefix) {
  std::vector<std::string> files;
  for (std::size_t i = 0; i < writes.size(); ++i) {
    device.Write(writes[i]);
    const std::string file =
        folder.Write(prefix + std::to_string(i + 1) + ".dat", device.ArchiveBytes());
    const timespec times[2] = {{device.Now().unixSeconds, 0}, {device.Now().unixSeconds, 0}};
    EXPECT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    files.push_back(file);
  }
  return files;
}

inline QStringList QFiles(const std::vector<std::string>& files) {
  QStringList list;
  for (const std::string& file : files) list.push_back(QString::fromStdString(file));
  return list;
}

// Every row of a table model as its cells' texts.
inline Rows ShownRows(const QAbstractItemModel& model) {
  Rows rows;
  for (int r = 0; r < model.rowCount(); ++r) {
    std::vector<std::string> row;
    for (int c = 0; c < model.columnCount(); ++c) {
      row.push_back(model.data(model.index(r, c)).toString().toStdString());
    }
    rows.push_back(row);
  }
  return rows;
}

// The listing's rows (the command line's text format) in the table's
// columns: device, date, time, event, "вход N" or "реле N", name; a gap row
// as device, gap text, then empty cells.
inline Rows ListingRows(history::HistoryStore& store, const history::EventQuery& query) {
  std::string text;
  const Status s = WriteTextList(store, query, [&](std::string_view p) { text += p; });
  EXPECT_TRUE(s.ok()) << s.failure().reason;
  Rows rows;
  const std::vector<std::string> lines =
      cli_testing::SplitLines(history::testing::WithoutListingFrame(text));
  // After what the listing shows, an empty line and the header line.
  for (std::size_t i = QueryLines(query).size() + 2; i < lines.size(); ++i) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
      const std::size_t tab = lines[i].find('\t', start);
      cells.push_back(lines[i].substr(start, tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    if (cells.size() == 2) {
      rows.push_back({cells[0], cells[1], "", "", "", ""});
      continue;
    }
    const std::string number = !cells[4].empty()   ? "вход " + cells[4]
                               : !cells[5].empty() ? "реле " + cells[5]
                                                   : "";
    rows.push_back({cells[0], cells[1], cells[2], cells[3], number, cells[6]});
  }
  return rows;
}

// Handles real modal dialogs as they open: each step runs once on the
// active modal widget (a box, a dialog), in order, from a timer in the
// dialog's own event loop. The steps left over tell what never opened.
class ModalDriver {
 public:
  using Step = std::function<bool(QWidget* modal)>;  // false: not the one yet
  ModalDriver() {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(5);
  }
  void Then(Step step) { steps_.push_back(std::move(step)); }
  std::size_t Left() const { return steps_.size(); }

 private:
  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || steps_.empty() || !modal->isVisible()) return;
    if (steps_.front()(modal)) steps_.pop_front();
  }
  QTimer timer_;
  std::deque<Step> steps_;
};

}  // namespace torv::testing
