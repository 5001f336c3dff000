// What a history listing shows of one stored event.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "history/history_model.h"

namespace torv {

// The row a listing shows where the history has a gap.
inline constexpr std::string_view kGapText = "*** пропуск: события между копиями не сохранены ***";

// The operator's names of inputs and relays, looked up per event.
class NameBook {
 public:
  explicit NameBook(const std::vector<history::NameEntry>& names);
  // Empty when the input or relay has no name.
  std::string_view Find(const std::string& device, history::NumberKind kind, int number) const;

 private:
  std::map<std::tuple<std::string, history::NumberKind, int>, std::string> names_;
};

// The rows people scan for, as alarm journals mark them: alarms, then
// warnings stand out on screen and on paper.
enum class RowMark { kNone, kAlarm, kWarning };

struct ListedFields {
  std::string date;   // DD.MM.YYYY; DD.MM without a year; empty when unset
  std::string time;   // HH:MM:SS as the table shows it; empty when unset
  std::string event;  // the event text without its padding spaces; "Код N" without a text
  std::optional<int> input;
  std::optional<int> relay;
  std::string name;  // the input's or relay's name, or empty
  RowMark mark = RowMark::kNone;
};

ListedFields FieldsOf(const history::StoredEvent& event, const NameBook& names);

// "DD.MM.YYYY HH:MM:SS" of a dated event: the devices report's first and
// last event.
std::string DateTimeText(const history::StoredEvent& event);

}  // namespace torv
