// The alarm statistics of what the filters choose, in a tab beside the
// table: the same figures `history stats` gives, computed by the store's
// aggregation and one pass over the period's alarms and normals, and only
// while the tab is shown.
#pragma once

// Qt
#include <QString>
#include <QWidget>

#include "history/history_model.h"
#include "history/history_store.h"

class QLabel;
class QPlainTextEdit;

namespace torv {

class StatisticsView : public QWidget {
  Q_OBJECT

 public:
  explicit StatisticsView(QWidget* parent = nullptr);

  // Shows the statistics of `query`; none without a store.
  void Show(history::HistoryStore* store, const history::EventQuery& query);
  QString Text() const;

 private:
  QLabel* note_ = nullptr;
  QPlainTextEdit* text_ = nullptr;
};

}  // namespace torv
