// What the archive file choice does with the name the open dialog returned.
// Plain C++ so that every rule can be tested without a dialog.
#pragma once

#include <string>
#include <string_view>

namespace torv {

inline constexpr std::string_view kArchiveExtension = ".dat";

// The extension of `fileName`, "." included: the text from the last character
// that is "." or the folder separator "/", when that character is ".";
// otherwise empty. A dot inside a folder name therefore gives no extension,
// and a name ending in "." has the extension ".".
std::string ArchiveFileExtension(std::string_view fileName);

enum class ArchiveNameVerdict {
  kAccepted,  // the extension is ".dat", byte for byte
  kAppended,  // no extension: ".dat" was appended
  kRejected,  // any other extension, ".DAT" included
};

struct ArchiveNameChoice {
  ArchiveNameVerdict verdict = ArchiveNameVerdict::kRejected;
  std::string fileName;   // the name to keep: as returned, or with ".dat" appended
  std::string extension;  // the extension of the name as returned
};

ArchiveNameChoice ApplyArchiveNameRule(std::string_view returnedName);

}  // namespace torv
