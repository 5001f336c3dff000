#include "history/selection_texts.h"

#include <algorithm>
#include <charconv>

namespace torv::history {
namespace {

constexpr char kKindList[] = "input, alarm, warning, normal, device, relay, damaged, other";

// Calls `each` with every comma-separated piece of `text`; stops at a failure.
template <typename Each>
Status ForEachPiece(std::string_view text, Each each) {
  for (std::size_t start = 0;;) {
    const std::size_t comma = text.find(',', start);
    if (Status s = each(text.substr(start, comma - start)); !s) return s;
    if (comma == std::string_view::npos) return {};
    start = comma + 1;
  }
}

std::optional<int> WholeNumber(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

Result<EventSelection> ParseEventSelection(std::string_view text) {
  EventSelection selection;
  std::vector<std::string_view> seen;
  const Status read = ForEachPiece(text, [&](std::string_view name) -> Status {
    if (std::find(seen.begin(), seen.end(), name) != seen.end()) {
      return Failure{"the event kind \"" + std::string(name) + "\" is given twice"};
    }
    seen.push_back(name);
    const std::optional<EventKind> kind = EventKindNamed(name);
    if (kind && *kind != EventKind::kEmpty) {
      selection.kinds.push_back(*kind);
      return {};
    }
    const std::optional<EventType> type = EventTypeNamed(name);
    if (type == EventType::kAlarm || type == EventType::kWarning || type == EventType::kNormal) {
      selection.types.push_back(*type);
      return {};
    }
    return Failure{"unknown event kind \"" + std::string(name) + "\"; the kinds are " + kKindList};
  });
  if (!read) return read.failure();
  return selection;
}

Result<std::vector<int>> ParseNumberList(std::string_view text, int first, int last) {
  std::vector<int> numbers;
  const Status read = ForEachPiece(text, [&](std::string_view piece) -> Status {
    const std::size_t dash = piece.find('-');
    const std::optional<int> low = WholeNumber(piece.substr(0, dash));
    const std::optional<int> high =
        dash == std::string_view::npos ? low : WholeNumber(piece.substr(dash + 1));
    if (!low || !high || *low > *high) {
      return Failure{"\"" + std::string(piece) + "\" is not a number N or a range N-M"};
    }
    if (*low < first || *high > last) {
      return Failure{"\"" + std::string(piece) + "\" is not within " + std::to_string(first) +
                     " to " + std::to_string(last)};
    }
    for (int n = *low; n <= *high; ++n) numbers.push_back(n);
    return {};
  });
  if (!read) return read.failure();
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

std::string NumberListText(const std::vector<int>& numbers) {
  std::string text;
  for (std::size_t first = 0; first < numbers.size();) {
    std::size_t last = first;
    while (last + 1 < numbers.size() && numbers[last + 1] == numbers[last] + 1) ++last;
    text += (text.empty() ? "" : ", ") + std::to_string(numbers[first]);
    if (last - first >= 2) {
      text += "–" + std::to_string(numbers[last]);
    } else if (last > first) {
      text += ", " + std::to_string(numbers[last]);
    }
    first = last + 1;
  }
  return text;
}

}  // namespace torv::history
