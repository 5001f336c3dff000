// The text filter of a listing: what the operator types is looked for in the
// event's text and in the name of its input or relay, ignoring the case of
// Latin and Cyrillic letters and how many spaces stand between words ("авар.
// сигн" finds "Авар. сигн.", "включение им" finds "Включение  ИМ").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace torv::history {

// `text` in lower case (A-Z, А-Я and Ё), every run of spaces made one space,
// without spaces at either end: the form both sides are compared in.
std::string FoldForMatch(std::string_view text);

// True when `folded` (FoldForMatch of what was typed) occurs in `text`.
bool TextMatches(std::string_view text, std::string_view folded);

// The event codes (damaged 255 included) whose text holds `folded`.
std::vector<std::uint8_t> CodesWithText(std::string_view folded);

}  // namespace torv::history
