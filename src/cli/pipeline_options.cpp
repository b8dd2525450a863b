#include "cli/pipeline_options.h"

#include <cstdlib>

namespace tp::cli {

std::optional<PipelineOptions> ParsePipelineOptions(const std::vector<std::string>& args, std::string& error)
{
    PipelineOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "-o" || a == "--output") {
            if (!value(options.output)) return std::nullopt;
            options.output_given = true;
        } else if (a == "-p" || a == "--project") {
            if (!value(options.project)) return std::nullopt;
        } else if (a == "--report") {
            if (!value(options.report)) return std::nullopt;
        } else if (a == "--finalize") {
            if (!value(v)) return std::nullopt;
            if (v == "none") options.finalize = Finalize::None;
            else if (v == "blend") options.finalize = Finalize::Blend;
            else if (v == "realign") options.finalize = Finalize::Realign;
            else {
                error = "--finalize takes none, blend or realign";
                return std::nullopt;
            }
        } else if (a == "--projection") {
            if (!value(v)) return std::nullopt;
            if (v == "planar") options.projection = command::kPlanarProjection;
            else if (v == "cylindrical") options.projection = command::kCylindricalProjection;
            else {
                error = "--projection takes planar or cylindrical";
                return std::nullopt;
            }
        } else if (a == "--crop") {
            if (!value(v)) return std::nullopt;
            if (v == "none") options.crop = Crop::None;
            else if (v == "circumscribed") options.crop = Crop::Circumscribed;
            else if (v == "inscribed") options.crop = Crop::Inscribed;
            else {
                error = "--crop takes none, circumscribed or inscribed";
                return std::nullopt;
            }
        } else if (a == "--threads") {
            if (!value(v)) return std::nullopt;
            char* end = nullptr;
            const long n = std::strtol(v.c_str(), &end, 10);
            if (end == v.c_str() || *end != '\0' || n < 0 || n > 1024) {
                error = "--threads takes a number (0 for every core)";
                return std::nullopt;
            }
            options.threads = static_cast<int>(n);
        } else if (a == "--resolution") {
            if (!value(v)) return std::nullopt;
            const std::optional<OutputResolution> resolution = ParseOutputResolution(v);
            if (!resolution) {
                error = "--resolution takes working, full or a number of megapixels such as 12MP";
                return std::nullopt;
            }
            options.resolution = *resolution;
        } else if (a == "--exposure-compensation") {
            options.exposure_compensation = true;
        } else if (a == "-q" || a == "--quiet") {
            options.quiet = true;
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return std::nullopt;
        } else {
            options.inputs.push_back(a);
        }
    }
    return options;
}

}  // namespace tp::cli
