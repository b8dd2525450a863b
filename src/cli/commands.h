// The sub-commands of tarnel-plexaro-cli. Each takes its own arguments (without the command name) and
// returns the process exit status.
#pragma once

#include <string>
#include <vector>

namespace tp::cli {

using Arguments = std::vector<std::string>;

int RunConvert(const Arguments& args);

void PrintUsage(bool to_stderr);

}  // namespace tp::cli
