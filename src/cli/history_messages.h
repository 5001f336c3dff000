// How torvdoc-cli words the messages of the history commands: each starts
// with "torvdoc-cli: ", names the file or the store concerned, then says why;
// archive messages keep the window's Russian text, with the reason in Russian.
#pragma once

#include <string>
#include <string_view>

#include "archive/result.h"

namespace torv {

// "torvdoc-cli: SUBJECT: REASON" and a line feed; without a subject,
// "torvdoc-cli: REASON".
std::string CliMessage(std::string_view subject, std::string_view reason);

// Why the archive `path` could not be taken: "Архив не удается открыть (нет
// такого файла)", "Архив поврежден".
std::string ArchiveFailureText(const std::string& path, const Failure& failure);

// The message of a file that `history import` could not import into the
// store `storeShown`: the archive's own message, or the store's reason.
std::string ImportFailureMessage(const std::string& path, const Failure& failure,
                                 const std::string& storeShown);

// The message of an output file that could not be written.
std::string CannotWriteMessage(const std::string& path, const Failure& failure);

}  // namespace torv
