#include "modules/module_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace torv {
namespace {

namespace fs = std::filesystem;

// The folder of the running program, "" when it cannot be told.
std::string ProgramFolder() {
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return program.parent_path().string();
}

bool IsInside(const std::string& path, const std::string& folder) {
  return !folder.empty() && path.size() >= folder.size() &&
         path.compare(0, folder.size(), folder) == 0 &&
         (path.size() == folder.size() || path[folder.size()] == '/');
}

}  // namespace

std::vector<std::string> ModuleDirectories() {
  if (const char* chosen = std::getenv("TORVDOC_MODULE_DIR"); chosen != nullptr) {
    return {chosen};
  }
  std::vector<std::string> directories;
  const std::string programFolder = ProgramFolder();
  if (!programFolder.empty()) {
    directories.push_back(
        (fs::path(programFolder) / TORVDOC_INSTALLED_MODULE_DIR).lexically_normal().string());
  }
  if (IsInside(programFolder, TORVDOC_BUILD_DIR)) directories.push_back(TORVDOC_BUILD_MODULE_DIR);
  return directories;
}

Result<void*> LoadModuleEntry(std::string_view file, std::string_view entry,
                              const std::vector<std::string>& directories) {
  std::string searched;
  for (const std::string& directory : directories) {
    const std::string path = (fs::path(directory) / file).string();
    std::error_code error;
    if (!fs::exists(path, error)) {
      searched += (searched.empty() ? "" : ", ") + directory;
      continue;
    }
    // RTLD_LOCAL: the module's own copies of the program's code stay its own.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
      const char* reason = dlerror();
      return Failure{reason != nullptr ? reason : path + ": cannot be loaded"};
    }
    dlerror();
    void* address = dlsym(handle, std::string(entry).c_str());
    if (address == nullptr) return Failure{path + ": has no entry " + std::string(entry)};
    return address;
  }
  return Failure{std::string(file) + ": not found in " +
                 (searched.empty() ? "no folder" : searched)};
}

Status CheckModuleHeader(const ModuleHeader& header, std::size_t expectedSize) {
  const std::string builtFor = header.programVersion != nullptr ? header.programVersion : "";
  if (builtFor != TORVDOC_VERSION || header.tableSize != expectedSize) {
    return Failure{"built for torvdoc " + (builtFor.empty() ? std::string("?") : builtFor) +
                   ", not for this torvdoc " + TORVDOC_VERSION};
  }
  return {};
}

}  // namespace torv
