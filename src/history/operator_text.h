// The rules for what the operator types into the history: device names,
// names of inputs and relays, and the text a listing looks for.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/result.h"
#include "history/history_model.h"

namespace torv::history {

class HistoryStore;

// Why `text` cannot be taken, or nothing: it must be well-formed UTF-8,
// without control characters (a TAB or line break would break a listing's
// row, a NUL cuts a server's text), and not blank once trimmed. `what` names
// the text in the reason ("the device name"). `mayBeEmpty` lets an empty
// text pass (a reason left out).
std::optional<std::string> OperatorTextProblem(std::string_view text, std::string_view what,
                                               bool mayBeEmpty = false);

// Two device names that give the same key are the same device typed another
// way: letter case and spaces do not count.
std::string SameDeviceKey(std::string_view name);

// The stored device whose name differs from `device` only in letter case or
// spaces (the same device mistyped), or nothing.
std::optional<std::string> SimilarStoredDevice(const std::vector<std::string>& storedDevices,
                                               const std::string& device);

// Whether `device` may take copies or names: a stored device, or a new one
// when `newDevice` says so. An unknown name is refused, naming a similar one.
Status CheckDeviceChoice(const std::vector<std::string>& storedDevices, const std::string& device,
                         bool newDevice);

// The names of the store's devices, by name.
Result<std::vector<std::string>> StoredDeviceNames(HistoryStore& store);

}  // namespace torv::history
