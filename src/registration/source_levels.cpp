#include "registration/source_levels.h"

#include <algorithm>

namespace tp {

SourceLevels BuildSourceLevels(const ColorImage& working_image, int levels)
{
    SourceLevels s;
    s.pyramid = BuildPyramid(working_image, levels);
    if (s.pyramid.empty()) return s;
    s.detail = MakeDetailBands(s.pyramid.front());
    s.screening_level = std::max(static_cast<int>(s.pyramid.size()) - 2, 0);
    s.screening_detail = MakeDetailBands(s.pyramid[static_cast<std::size_t>(s.screening_level)]);
    return s;
}

OverlapScore ScorePair(const SourceLevels& a, const SourceLevels& b, const Matrix& h, double samples)
{
    return ScoreOverlap(a.pyramid.front(), b.pyramid.front(), a.detail, b.detail, h, samples);
}

}  // namespace tp
