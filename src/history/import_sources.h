// What one import command takes in: files named one by one, and the copies
// (.dat files) under folders, each with the device it belongs to. A site
// keeps its copies in a folder per device, or names the device in each
// file's name; the device of each copy is then read from there.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "archive/result.h"

namespace torv::history {

// How the device of each copy is told.
struct DeviceNaming {
  std::optional<std::string> device;    // --device: every copy
  bool fromFolder = false;              // --device-from-folder: the copy's folder's name
  std::optional<std::string> fromName;  // --device-from-name: a regular expression
};

struct ImportSource {
  std::string file;
  std::string device;   // empty when it could not be told (see problem)
  std::string problem;  // why the device could not be told from the name
};

// The files of `arguments` in their order, a folder replaced by the .dat
// files (any case of the suffix) anywhere under it, by path (a folder
// without one is a source with that problem). Fails on a
// regular expression that does not compile, or a folder that cannot be read.
Result<std::vector<ImportSource>> CollectImportSources(const std::vector<std::string>& arguments,
                                                       const DeviceNaming& naming);

// The stored device a copy's path points to, for proposing it: the name of
// the copy's folder, else the start of its file name up to a separator
// ("_", "-", ".", a space) or its suffix, the longest that names one. Names
// compare as devices do (any case, spaces left out). None when neither
// names a stored device.
std::optional<std::string> DeviceSuggestedBy(const std::string& file,
                                             const std::vector<std::string>& storedDevices);

// Whether `text` compiles as the regular expression --device-from-name takes
// (ECMAScript); the reason when not.
Status CheckDeviceNamePattern(const std::string& text);

}  // namespace torv::history
