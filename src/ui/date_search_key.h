// The key of the date search.
#pragma once

#include <string>

namespace torv {

// Day and month, two digits each, joined by "." whatever the locale's date
// separator: the archive's time-date texts always use ".", so any other
// separator could never match. 5 March gives "05.03".
std::string SearchDateKeyFor(int day, int month);

}  // namespace torv
