// How the JSON export names the view that `view` or `report` showed.
#pragma once

#include "cli/cli_options.h"
#include "report/view_export.h"

namespace torv {

// The view that `view` was asked for.
ViewDescription DescribeView(const CliOptions& options);

// The whole-archive report.
ViewDescription DescribeReport();

}  // namespace torv
