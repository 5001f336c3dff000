// The report pane saved as an RTF document.
//
// The document is plain RTF 1 in the Windows-1251 code page, on A4 paper:
//   {\rtf1\ansi\ansicpg1251\deff0{\fonttbl{\f0\fmodern\fprq1\fcharset204 Courier New;}}
//   \paperw11906\paperh16838\margl1134\margr1134\margt1134\margb1134
//   \pard\tx..\tx..\tx..\tx..\tx..\tx..\f0\fs20
//   <line 0>\par
//   <line 1>\par
//   ...
//   }
// The six \tx are the report's tab stops (report_tab_stops.h) for Courier
// New at 10 pt, in twips. Every pane line ends in \par. Inside a line a TAB
// is "\tab " (the space ends the control word and is not text), "\", "{" and
// "}" are escaped with a backslash, and every byte outside printable ASCII is
// written as \'xx in lower-case hex.
#pragma once

#include <string>
#include <string_view>

#include "archive/result.h"

namespace torv {

// The RTF document of `paneText` (UTF-8, lines separated by "\n"). An empty
// pane gives a document with no paragraph at all. Fails only when the text
// cannot be converted to Windows-1251 at all (Utf8ToCp1251).
Result<std::string> RtfDocument(std::string_view paneText);

// Writes RtfDocument(paneText) to `path`, replacing any file there. Writes a
// temporary file beside it and renames it into place, so a failed save
// neither truncates nor removes an earlier file.
Status SaveRtfFile(const std::string& path, std::string_view paneText);

}  // namespace torv
