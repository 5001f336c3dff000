// The usage texts of torvdoc-cli.
#pragma once

#include <string>

#include "cli/cli_messages.h"
#include "cli/cli_option_table.h"
#include "cli/cli_options.h"

namespace torv {

// Every command in short.
std::string ToolUsage();
// The commands of a group ("history") in short.
std::string GroupUsage(const CommandGroupDeclaration& group);
// One command with its options.
std::string CommandUsage(CliCommand command);
// "torvdoc-cli VERSION\n"
std::string VersionText();

}  // namespace torv
