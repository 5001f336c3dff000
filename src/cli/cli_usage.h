// The usage texts of torvdoc-cli.
#pragma once

#include <string>

#include "cli/cli_option_table.h"
#include "cli/cli_options.h"

namespace torv {

inline constexpr char kProgramName[] = "torvdoc-cli";

// Every command in short.
std::string ToolUsage();
// The commands of a group ("history") in short.
std::string GroupUsage(const CommandGroupSpec& group);
// One command with its options.
std::string CommandUsage(CliCommand command);

}  // namespace torv
