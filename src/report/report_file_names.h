// Names of the report file: the fallback name of a cancelled save, the
// device's report name, and which names the save accepts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "archive/file_name_rule.h"

namespace torv {

// "отчет устр. ": twelve characters ending in a space, no extension. A save
// whose dialog is cancelled writes to this name in the current folder.
std::string DefaultReportName();

// DefaultReportName, the device number deviceIndex + 1 in decimal, ".rtf";
// "отчет устр. 1.rtf" for device index 0.
std::string DeviceReportName(int deviceIndex);

// The save dialog's default extension; the only one a chosen name may have.
inline constexpr std::string_view kReportExtension = ".rtf";

// The refusal box of a chosen name; the caption starts with a Latin "C".
inline constexpr std::string_view kBadReportNameMessage = "Неверно задано имя файла";
inline constexpr std::string_view kBadReportNameCaption = "Cохранение данных в файл";
// The failure of a save that cannot write its file; %s is the save target.
inline constexpr std::string_view kCannotCreateFileMessage = "Cannot create file %s";

// kAccept: the extension is ".rtf"; kAppendExtension: none, ".rtf" is
// appended; kReject: any other, ".RTF" and a bare "." included.
using SaveNameVerdict = FileNameVerdict;

SaveNameVerdict JudgeReportFileName(std::string_view chosen);

// The save target for a name chosen in the save dialog: the name itself, or
// the name with ".rtf" appended; nothing when the name is refused.
std::optional<std::string> AcceptReportFileName(const std::string& chosen);

}  // namespace torv
