// The key of the date search: day, separator, month.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace torv {

// Only the first five characters of a key are compared; a shorter key is
// refused before any search.
inline constexpr std::size_t kDateKeyLength = 5;

// Day and month, two digits each, joined by "." whatever the locale's date
// separator: the archive's time-date texts always use ".", so any other
// separator could never match. 5 March gives "05.03".
std::string SearchDateKeyFor(int day, int month);

// True when `key` has the five characters a search compares.
bool IsWholeDateKey(std::string_view key);

// The part of `key` that the search compares with a record's date: its
// first five characters (all of it when shorter).
std::string ComparedDateKey(std::string_view key);

}  // namespace torv
