// The stitch and open commands: the same document operations the desktop program runs (load, stitch,
// finalize, crop, export, save), with timings and an optional machine-readable report.
#pragma once

#include "cli/pipeline_options.h"

namespace tp::cli {

int RunStitch(const std::vector<std::string>& args);
int RunOpen(const std::vector<std::string>& args);
int RunInfo(const std::vector<std::string>& args);

}  // namespace tp::cli
