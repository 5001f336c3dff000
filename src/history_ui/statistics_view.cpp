#include "history_ui/statistics_view.h"

// Qt
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "history_report/alarm_statistics.h"
#include "history_report/statistics_formats.h"
#include "history_ui/qt_text.h"

namespace torv {

StatisticsView::StatisticsView(QWidget* parent) : QWidget(parent) {
  note_ = new QLabel(
      QStringLiteral("Показатели определены в примечаниях к печатной статистике (Экспорт → PDF)."));
  note_->setWordWrap(true);
  text_ = new QPlainTextEdit;
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(note_);
  layout->addWidget(text_, 1);
}

void StatisticsView::Show(history::HistoryStore* store, const history::EventQuery& query) {
  if (store == nullptr) {
    text_->setPlainText(QStringLiteral("В хранилище ещё нет событий."));
    return;
  }
  Result<AlarmStatistics> statistics = ComputeAlarmStatistics(*store, query);
  text_->setPlainText(
      statistics
          ? Utf8(StatisticsText(*statistics))
          : QStringLiteral("Статистика не построена: %1").arg(Utf8(statistics.failure().reason)));
}

QString StatisticsView::Text() const {
  return text_->toPlainText();
}

}  // namespace torv
