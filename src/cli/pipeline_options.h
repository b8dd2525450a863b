// Options shared by the stitch and open commands.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "project/output_resolution.h"
#include "project/wide_view.h"
#include "project/workflow.h"

namespace tp::cli {

enum class Finalize { None, Blend, Realign };
enum class Crop { None, Circumscribed, Inscribed };

struct PipelineOptions {
    std::string output = "pano.jpg";
    bool output_given = false;
    std::string project;
    Finalize finalize = Finalize::None;
    int projection = command::kPlanarProjection;
    Crop crop = Crop::None;
    std::string report;
    OutputResolution resolution;  // of the exported image
    bool exposure_compensation = false;
    bool quiet = false;
    int threads = 0;  // 0: every core
    std::vector<std::string> inputs;  // images (stitch) or the project (open)
};

// Parses the arguments after the command name; on a usage error returns nothing and sets `error`.
std::optional<PipelineOptions> ParsePipelineOptions(const std::vector<std::string>& args, std::string& error);

}  // namespace tp::cli
