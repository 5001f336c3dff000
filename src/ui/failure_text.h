// The text of the box that reports a failure which escaped a handler.
#pragma once

#include <string>
#include <string_view>

namespace torv {

// The failure's message, with "." appended when its last byte comes after "."
// in byte order (so a message ending in a letter gets a full stop, one ending
// in ".", "!" or a space does not). An empty message stays empty.
std::string FailureBoxText(std::string_view message);

}  // namespace torv
