#include "history/operator_text.h"

#include <algorithm>

#include "archive/text_utf8.h"
#include "history/history_store.h"
#include "history/text_match.h"

namespace torv::history {
namespace {

bool IsControl(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

// The name with case and every space folded away: two device names with the
// same key are one device mistyped.
}  // namespace

std::string SameDeviceKey(std::string_view name) {
  std::string key = FoldForMatch(name);
  std::erase(key, ' ');
  return key;
}

std::optional<std::string> OperatorTextProblem(std::string_view text, std::string_view what,
                                               bool mayBeEmpty) {
  if (mayBeEmpty && text.empty()) return std::nullopt;
  const std::string named(what);
  if (!IsValidUtf8(text)) return named + " is not UTF-8 text";
  for (std::string_view rest = text; !rest.empty();) {
    const Utf8Character c = DecodeUtf8Character(rest);
    if (IsControl(c.codePoint)) return named + " holds a control character";
    rest.remove_prefix(c.length);
  }
  if (TrimSpaces(text).empty()) return named + " is blank";
  return std::nullopt;
}

std::optional<std::string> SimilarStoredDevice(const std::vector<std::string>& storedDevices,
                                               const std::string& device) {
  const std::string key = SameDeviceKey(device);
  for (const std::string& stored : storedDevices) {
    if (stored != device && SameDeviceKey(stored) == key) return stored;
  }
  return std::nullopt;
}

Status CheckDeviceChoice(const std::vector<std::string>& storedDevices, const std::string& device,
                         bool newDevice) {
  if (std::find(storedDevices.begin(), storedDevices.end(), device) != storedDevices.end() ||
      newDevice) {
    return {};
  }
  if (const std::optional<std::string> similar = SimilarStoredDevice(storedDevices, device)) {
    return Failure{"no device \"" + device + "\" is stored; did you mean \"" + *similar + "\"?"};
  }
  return Failure{"no device \"" + device +
                 "\" is stored; give --new-device to start the history of a new device"};
}

Result<std::vector<std::string>> StoredDeviceNames(HistoryStore& store) {
  // Without the damaged events, whose count reads every event of the store:
  // each import of the weekly routine asks for the names.
  Result<std::vector<DeviceSummary>> devices = store.Devices({}, false);
  if (!devices) return devices.failure();
  std::vector<std::string> names;
  for (const DeviceSummary& device : *devices) names.push_back(device.device);
  return names;
}

}  // namespace torv::history
