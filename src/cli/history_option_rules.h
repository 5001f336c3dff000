// How the option table's rows read the history commands' options, and the
// rules between them that no single option can check.
#pragma once

#include <set>
#include <string_view>

#include "cli/cli_option_table.h"
#include "cli/cli_options.h"

namespace torv {

bool IsHistoryCommand(CliCommand command);

UsageProblem ApplyDb(const OptionDeclaration& declared, std::string_view value,
                     CliOptions& options);
UsageProblem ApplyDevice(const OptionDeclaration& declared, std::string_view value,
                         CliOptions& options);
UsageProblem ApplyNewDevice(const OptionDeclaration& declared, std::string_view flag,
                            CliOptions& options);
UsageProblem ApplyForceDevice(const OptionDeclaration& declared, std::string_view flag,
                              CliOptions& options);
UsageProblem ApplyCopiedAt(const OptionDeclaration& declared, std::string_view value,
                           CliOptions& options);
UsageProblem ApplyFrom(const OptionDeclaration& declared, std::string_view value,
                       CliOptions& options);
UsageProblem ApplyDeviceFromFolder(const OptionDeclaration& declared, std::string_view flag,
                                   CliOptions& options);
UsageProblem ApplyDeviceFromName(const OptionDeclaration& declared, std::string_view value,
                                 CliOptions& options);
UsageProblem ApplyWatchInterval(const OptionDeclaration& declared, std::string_view value,
                                CliOptions& options);
UsageProblem ApplyWatchSettle(const OptionDeclaration& declared, std::string_view value,
                              CliOptions& options);
UsageProblem ApplyWatchState(const OptionDeclaration& declared, std::string_view value,
                             CliOptions& options);
UsageProblem ApplyQuiet(const OptionDeclaration& declared, std::string_view flag,
                        CliOptions& options);
UsageProblem ApplyPeriod(const OptionDeclaration& declared, std::string_view value,
                         CliOptions& options);
UsageProblem ApplyTo(const OptionDeclaration& declared, std::string_view value,
                     CliOptions& options);
UsageProblem ApplyEvents(const OptionDeclaration& declared, std::string_view value,
                         CliOptions& options);
UsageProblem ApplyCode(const OptionDeclaration& declared, std::string_view value,
                       CliOptions& options);
UsageProblem ApplyText(const OptionDeclaration& declared, std::string_view value,
                       CliOptions& options);
UsageProblem ApplyListing(const OptionDeclaration& declared, std::string_view value,
                          CliOptions& options);
UsageProblem ApplyHeading(const OptionDeclaration& declared, std::string_view flag,
                          CliOptions& options);
UsageProblem ApplyChartBin(const OptionDeclaration& declared, std::string_view value,
                           CliOptions& options);
UsageProblem ApplyChartSize(const OptionDeclaration& declared, std::string_view value,
                            CliOptions& options);
UsageProblem ApplyNewestFirst(const OptionDeclaration& declared, std::string_view flag,
                              CliOptions& options);
UsageProblem ApplyRelay(const OptionDeclaration& declared, std::string_view value,
                        CliOptions& options);
// --input of a history command.
UsageProblem ApplyReason(const OptionDeclaration& declared, std::string_view value,
                         CliOptions& options);
UsageProblem ApplyHistoryInput(const OptionDeclaration& declared, std::string_view value,
                               CliOptions& options);

// What is wrong with a history command line as a whole, once every option
// was read; `seen` holds the long names of the options given. The copies
// an argument names are read into options.history.copyIds.
UsageProblem HistoryUsageProblem(const std::set<std::string_view>& seen, CliOptions& options);

}  // namespace torv
