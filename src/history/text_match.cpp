#include "history/text_match.h"

#include "archive/archive_format.h"
#include "archive/event_table.h"

namespace torv::history {
namespace {

// Lower case of the two-byte UTF-8 capitals А-Я (D0 90 - D0 AF) and Ё (D0 81).
// Letters outside Latin and Cyrillic stay as they are: event texts are
// Russian and names are typed by Russian-speaking operators, so a full
// Unicode case table would buy nothing here.
void AppendFoldedPair(std::string& out, unsigned char lead, unsigned char next) {
  if (lead == 0xD0 && next >= 0x90 && next <= 0x9F) {  // А-П -> а-п
    out += static_cast<char>(0xD0);
    out += static_cast<char>(next + 0x20);
  } else if (lead == 0xD0 && next >= 0xA0 && next <= 0xAF) {  // Р-Я -> р-я
    out += static_cast<char>(0xD1);
    out += static_cast<char>(next - 0x20);
  } else if (lead == 0xD0 && next == 0x81) {  // Ё -> ё
    out += static_cast<char>(0xD1);
    out += static_cast<char>(0x91);
  } else {
    out += static_cast<char>(lead);
    out += static_cast<char>(next);
  }
}

}  // namespace

std::string FoldForMatch(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool pendingSpace = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == ' ' || byte == '\t') {
      pendingSpace = !out.empty();
      continue;
    }
    if (pendingSpace) out += ' ';
    pendingSpace = false;
    if (byte >= 'A' && byte <= 'Z') {
      out += static_cast<char>(byte - 'A' + 'a');
    } else if ((byte == 0xD0 || byte == 0xD1) && i + 1 < text.size()) {
      AppendFoldedPair(out, byte, static_cast<unsigned char>(text[i + 1]));
      ++i;
    } else {
      out += static_cast<char>(byte);
    }
  }
  return out;
}

bool TextMatches(std::string_view text, std::string_view folded) {
  if (folded.empty()) return true;
  return FoldForMatch(text).find(folded) != std::string::npos;
}

std::vector<std::uint8_t> CodesWithText(std::string_view folded) {
  std::vector<std::uint8_t> codes;
  for (int code = 0; code < kDamagedCode; ++code) {
    const std::string_view text = EventTextTable(static_cast<std::uint8_t>(code));
    if (!text.empty() && TextMatches(text, folded))
      codes.push_back(static_cast<std::uint8_t>(code));
  }
  if (TextMatches(kDamagedRecordText, folded)) codes.push_back(kDamagedCode);
  return codes;
}

}  // namespace torv::history
