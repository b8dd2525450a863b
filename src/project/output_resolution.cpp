#include "project/output_resolution.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "project/main_doc.h"

namespace tp {

std::optional<OutputResolution> ParseOutputResolution(const std::string& text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "working") return OutputResolution::Working();
    if (lower == "full") return OutputResolution::Full();
    if (lower.size() < 3 || lower.compare(lower.size() - 2, 2, "mp") != 0) return std::nullopt;
    const std::string number = lower.substr(0, lower.size() - 2);
    if (number.find_first_not_of("0123456789.") != std::string::npos) return std::nullopt;
    char* end = nullptr;
    const double megapixels = std::strtod(number.c_str(), &end);
    if (end != number.c_str() + number.size() || !(megapixels > 0.0) || !std::isfinite(megapixels)) return std::nullopt;
    return OutputResolution::Limit(megapixels);
}

std::string FormatOutputResolution(const OutputResolution& resolution)
{
    switch (resolution.kind) {
    case OutputResolution::Kind::Working: return "working";
    case OutputResolution::Kind::Full: return "full";
    case OutputResolution::Kind::Megapixels: break;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%gMP", resolution.megapixels);
    return text;
}

double FullScale(const CMainDoc& doc)
{
    const Mosaic* mosaic = doc.mosaic();
    if (!mosaic || mosaic->working_width() <= 0 || mosaic->working_height() <= 0) return 1.0;
    double scale = 1.0;
    for (int i = 0; i < doc.image_count(); ++i) {
        const DisplayCopy& copy = doc.image(i).thumbnail;
        scale = std::max({scale, static_cast<double>(copy.full_width()) / mosaic->working_width(),
                          static_cast<double>(copy.full_height()) / mosaic->working_height()});
    }
    return scale;
}

double OutputScale(const CMainDoc& doc, const OutputResolution& resolution, int cut_width, int cut_height)
{
    return OutputScale(FullScale(doc), resolution, cut_width, cut_height);
}

double OutputScale(double full_scale, const OutputResolution& resolution, int cut_width, int cut_height)
{
    switch (resolution.kind) {
    case OutputResolution::Kind::Working: return 1.0;
    case OutputResolution::Kind::Full: return full_scale;
    case OutputResolution::Kind::Megapixels: break;
    }
    const double pixels = static_cast<double>(std::max(cut_width, 1)) * static_cast<double>(std::max(cut_height, 1));
    return std::min(full_scale, std::sqrt(resolution.megapixels * 1e6 / pixels));
}

}  // namespace tp
