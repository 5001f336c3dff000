// Files set up the way users set them up before a save replaces them: a mode
// of their own, a symbolic link into another folder, a read-only file, and a
// name as long as the file system allows. Shared by the tests of every face
// that saves (the library, the window, the command line).
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace torv::testing {

namespace fs = std::filesystem;

inline std::string FileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void PutFile(const fs::path& path, std::string_view content, mode_t mode = 0644) {
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
  }
  ::chmod(path.c_str(), mode);
}

// The permission bits, setuid and friends included.
inline mode_t ModeOf(const fs::path& path) {
  struct stat info {};
  ::lstat(path.c_str(), &info);
  return info.st_mode & 07777;
}

// Names in `folder`, sorted; shows a temporary file left behind.
inline std::vector<std::string> Entries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A file name of exactly 255 bytes, the most a Linux file system takes:
// Cyrillic letters of two bytes each, an "x" when one byte is left over, then
// `extension`.
inline std::string LongestCyrillicName(std::string_view extension) {
  const std::size_t letters = 255 - extension.size();
  std::string name;
  for (std::size_t i = 0; i < letters / 2; ++i) name += "ж";
  if (letters % 2 != 0) name += "x";
  name += extension;
  return name;
}

}  // namespace torv::testing
