// The wording of torvdoc-cli's messages on standard error, in one place, for
// every command: each message starts with the program's name, names the file
// or the store it concerns, and says why where the reason is known. The
// tool's own texts are English; the archive's messages keep the window's
// Russian text, with a Russian reason in parentheses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "archive/result.h"

namespace torv {

inline constexpr char kProgramName[] = "torvdoc-cli";

// "torvdoc-cli: SUBJECT: REASON" and a line feed; without a subject,
// "torvdoc-cli: REASON".
std::string CliMessage(std::string_view subject, std::string_view reason);

// Why an archive could not be read, in Russian ("нет такого файла"); empty
// for an error the window's language has no word for.
std::string ArchiveReadReason(const Failure& failure);
// "torvdoc-cli: FILE: Архив не удается открыть (REASON)\n"
std::string CannotOpenArchiveMessage(std::string_view file, const Failure& failure);
// The text of a failure whose reason is the window's own message about the
// archive `path` (as the history's import gives it, with the errno kept):
// "Архив не удается открыть (нет такого файла)", "Архив поврежден".
std::string ArchiveFailureText(const std::string& path, const Failure& failure);
// A view of FILE that ended in the window's `message`. "Архив поврежден" of a
// file shorter than an archive adds the reason: its WriteOffset is cut off.
std::string ArchiveViewMessage(std::string_view file, std::string_view message,
                               std::uint64_t fileSize);
// The warning on an archive file that is not 8196 bytes long; empty when it is.
std::string ArchiveSizeWarning(std::string_view file, std::uint64_t fileSize);

// "torvdoc-cli: FILE: cannot write: REASON\n"
std::string CannotWriteMessage(std::string_view file, const Failure& failure);

// A wrong command line: what is wrong, and where to read more. `command` is
// the command's name ("view", "history import"), or empty when the fault
// comes before any command.
std::string UsageErrorMessage(std::string_view problem, std::string_view command);

}  // namespace torv
