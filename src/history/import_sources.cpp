#include "history/import_sources.h"

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string_view>
#include <system_error>

#include "history/operator_text.h"

namespace torv::history {
namespace {

namespace fs = std::filesystem;

bool IsCopyFile(const fs::directory_entry& entry) {
  std::error_code error;
  if (!entry.is_regular_file(error)) return false;
  std::string suffix = entry.path().extension().string();
  std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return suffix == ".dat";
}

// The .dat files under `folder`, by path.
Result<std::vector<std::string>> CopiesUnder(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code error;
  fs::recursive_directory_iterator walk(folder, error);
  for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
    if (IsCopyFile(*walk)) files.push_back(walk->path().string());
  }
  if (error) return Failure{folder + ": cannot be read: " + error.message(), error.value()};
  std::sort(files.begin(), files.end());
  return files;
}

// The device `file` belongs to by `naming`; sets `problem` when it cannot be told.
std::string DeviceOf(const std::string& file, const DeviceNaming& naming, const std::regex* pattern,
                     std::string& problem) {
  if (naming.device) return *naming.device;
  const fs::path path = fs::absolute(fs::path(file)).lexically_normal();
  if (naming.fromFolder) {
    const std::string folder = path.parent_path().filename().string();
    if (folder.empty()) problem = "its folder has no name to take the device from";
    return folder;
  }
  const std::string name = path.filename().string();
  std::smatch match;
  if (pattern == nullptr || !std::regex_search(name, match, *pattern)) {
    problem = "its name does not match --device-from-name " + *naming.fromName;
    return {};
  }
  // The first group when the expression has one, else the whole match.
  const std::string device = match.size() > 1 ? match[1].str() : match[0].str();
  if (device.empty()) problem = "its name gives an empty device by --device-from-name";
  return device;
}

// The stored device whose key is `key`, if any.
std::optional<std::string> StoredWithKey(const std::vector<std::string>& storedDevices,
                                         const std::string& key) {
  for (const std::string& stored : storedDevices) {
    if (!key.empty() && SameDeviceKey(stored) == key) return stored;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> DeviceSuggestedBy(const std::string& file,
                                             const std::vector<std::string>& storedDevices) {
  const fs::path path = fs::absolute(fs::path(file)).lexically_normal();
  if (auto byFolder =
          StoredWithKey(storedDevices, SameDeviceKey(path.parent_path().filename().string()))) {
    return byFolder;
  }
  const std::string stem = path.stem().string();
  for (std::size_t end = stem.size(); end > 0; --end) {
    const bool atSeparator =
        end == stem.size() || std::string_view("_-. ").find(stem[end]) != std::string_view::npos;
    if (!atSeparator) continue;
    if (auto byName = StoredWithKey(storedDevices, SameDeviceKey(stem.substr(0, end)))) {
      return byName;
    }
  }
  return std::nullopt;
}

Status CheckDeviceNamePattern(const std::string& text) {
  try {
    std::regex compiled(text);
  } catch (const std::regex_error& error) {
    return Failure{"the regular expression \"" + text + "\" is not valid: " + error.what()};
  }
  return {};
}

Result<std::vector<ImportSource>> CollectImportSources(const std::vector<std::string>& arguments,
                                                       const DeviceNaming& naming) {
  std::optional<std::regex> pattern;
  if (naming.fromName) {
    if (Status checked = CheckDeviceNamePattern(*naming.fromName); !checked) {
      return checked.failure();
    }
    pattern.emplace(*naming.fromName);
  }
  std::vector<ImportSource> sources;
  const auto add = [&](const std::string& file) {
    ImportSource source{file, {}, {}};
    source.device = DeviceOf(file, naming, pattern ? &*pattern : nullptr, source.problem);
    sources.push_back(std::move(source));
  };
  for (const std::string& argument : arguments) {
    std::error_code error;
    if (!fs::is_directory(argument, error)) {
      add(argument);  // a file, or what cannot be read: the import tells why
      continue;
    }
    Result<std::vector<std::string>> files = CopiesUnder(argument);
    if (!files) return files.failure();
    if (files->empty()) sources.push_back({argument, {}, "holds no .dat file"});
    for (const std::string& file : *files) add(file);
  }
  return sources;
}

}  // namespace torv::history
