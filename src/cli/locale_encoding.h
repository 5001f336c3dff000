// The encoding of text output that the user's locale asks for.
#pragma once

#include <string_view>

#include "cli/cli_options.h"

namespace torv {

// Windows-1251 for the codeset CP1251 under any of its names (CP1251,
// WINDOWS-1251, cp1251); UTF-8 for any other, the only other encoding the
// tool writes.
OutputEncoding EncodingOfCodeset(std::string_view codeset);

// The encoding of the codeset of the locale that LC_ALL, LC_CTYPE or LANG
// choose. A locale the system does not have counts as UTF-8.
OutputEncoding LocaleEncoding();

}  // namespace torv
