#include "history_report/listing_digest.h"

#include "history_report/report_heading.h"

namespace torv {
namespace {

constexpr std::string_view kForm = "torvdoc listing 1";
constexpr std::size_t kShortDigest = 12;

}  // namespace

ListingDigest::ListingDigest(const history::EventQuery& query) {
  line_ = kForm;
  line_ += '\n';
  for (const std::string& line : QueryLines(query)) {
    line_ += line;
    line_ += '\n';
  }
  sha_.Add(line_);
}

void ListingDigest::Add(const ListedRow& row) {
  static constexpr char kHex[] = "0123456789abcdef";
  line_.clear();
  line_ += row.gap ? "G\t" : "E\t";
  line_ += row.event.device;
  line_ += '\t';
  if (row.gap) {
    const ListedGap* gap = row.gapBefore;
    line_ += gap != nullptr && gap->after ? *gap->after : "-";
    line_ += '\t';
    line_ += gap != nullptr && gap->before ? *gap->before : "-";
  } else {
    line_ += row.event.year ? std::to_string(*row.event.year) : "-";
    line_ += '\t';
    for (const std::uint8_t byte : row.event.record.bytes) {
      line_ += kHex[byte >> 4];
      line_ += kHex[byte & 15];
    }
  }
  line_ += '\n';
  sha_.Add(line_);
}

std::string ListingDigest::Hex() {
  return sha_.Hex();
}

Result<std::string> DigestOfListing(history::HistoryStore& store,
                                    const history::EventQuery& query) {
  ListingDigest digest(query);
  const Status listed =
      ForEachListedRow(store, query, [&](const ListedRow& row) { digest.Add(row); });
  if (!listed) return listed.failure();
  return digest.Hex();
}

std::string DigestLine(const std::string& digest) {
  return "Контрольная сумма выборки (SHA-256): " + digest;
}

std::string JournalLine(const std::optional<history::JournalEntry>& head) {
  if (!head) return "Журнал: пуст";
  return "Журнал: запись " + std::to_string(head->id) + ", " + head->hash;
}

std::string ShortStamp(const std::string& digest,
                       const std::optional<history::JournalEntry>& head) {
  return "выборка " + digest.substr(0, kShortDigest) +
         ", журнал: " + (head ? "запись " + std::to_string(head->id) : std::string("пуст"));
}

}  // namespace torv
