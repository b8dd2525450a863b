// The resolution the wide-view image is exported and printed at: the working images' (what the view shows),
// the photographs' own, or as many pixels as a limit allows.
#pragma once

#include <optional>
#include <string>

#include "project/crop_box.h"

namespace tp {

class CMainDoc;

struct OutputResolution {
    enum class Kind { Working, Full, Megapixels };
    Kind kind = Kind::Working;
    double megapixels = 0.0;  // Megapixels only: the most millions of pixels the output may have
    bool operator==(const OutputResolution&) const = default;

    static OutputResolution Working() { return {}; }
    static OutputResolution Full() { return {Kind::Full, 0.0}; }
    static OutputResolution Limit(double megapixels) { return {Kind::Megapixels, megapixels}; }
};

// "working", "full" or a positive number of megapixels with "MP" after it ("12MP", "2.5mp"); nothing for
// anything else.
std::optional<OutputResolution> ParseOutputResolution(const std::string& text);
// The same words back ("working", "full", "12MP").
std::string FormatOutputResolution(const OutputResolution& resolution);

// How many of its file's pixels a working pixel spans, for the source that has the most (1 when no source is
// larger than its working image): composing at this scale shows every photograph at its own resolution.
double FullScale(const CMainDoc& doc);

// The scale from the working wide-view image to the output of a `cut_width` x `cut_height` cut of it:
// 1 for the working resolution, FullScale for full, and for a limit the scale that gives the cut at most that
// many pixels, but never more than full.
double OutputScale(const CMainDoc& doc, const OutputResolution& resolution, int cut_width, int cut_height);

}  // namespace tp
