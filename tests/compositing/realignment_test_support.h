// Helpers for the re-alignment tests: small grey images and grid points, a message catcher, and synthetic
// panoramas of a textured scene seen through known homographies.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "compositing/mosaic.h"
#include "compositing/realignment.h"
#include "imaging/fatal_error.h"
#include "mosaic_test_support.h"
#include "registration/homography.h"
#include "test_support.h"

namespace tp::test {

// Lattice and list sizes as a mosaic of small working images has them.
inline RealignmentState Sizes(int spacing = 17, int patch = 15, int search = 17, int capacity = 3)
{
    RealignmentState state;
    state.grid_spacing = spacing;
    state.patch_size = patch;
    state.search_size = search;
    state.candidates_per_grid = capacity;
    return state;
}

// A grey image with every pixel set by fn(x, y).
template <typename Fn>
GrayImage MakeGray(int width, int height, Fn fn)
{
    GrayImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.at(x, y) = static_cast<std::uint8_t>(fn(x, y));
    return image;
}

// Grey levels of random colours.
inline GrayImage NoiseGray(int width, int height, unsigned seed)
{
    return GreyLevels(NoiseImage(width, height, seed));
}

// A candidate record from `source` with the given score and offset.
inline GridCandidate Record(int source, float score, int offset_x = 0, int offset_y = 0)
{
    GridCandidate record;
    record.source = source;
    record.offset_x = offset_x;
    record.offset_y = offset_y;
    record.score = score;
    return record;
}

// The slots of a grid point's candidates, best score first.
inline std::vector<int> Ranks(const RealignmentGrid& grid) { return {grid.rank.begin(), grid.rank.begin() + grid.count}; }

// Shows nothing; keeps every message for the test and restores the default hook afterwards.
class CapturedMessages {
public:
    CapturedMessages()
    {
        SetMessageHook([this](const std::string& text) { texts.push_back(text); });
    }
    ~CapturedMessages() { SetMessageHook(nullptr); }
    CapturedMessages(const CapturedMessages&) = delete;
    CapturedMessages& operator=(const CapturedMessages&) = delete;
    std::vector<std::string> texts;
};

// The value-noise scene with its contrast stretched threefold: photographs carry finer detail than the plain
// scene, whose grey levels stay below the texture threshold almost everywhere.
inline ColorImage CrispScene(int width, int height, unsigned seed)
{
    ColorImage scene = MakeScene(width, height, seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                scene.at(x, y, c) = static_cast<std::uint8_t>(std::clamp(128 + 3 * (scene.at(x, y, c) - 128), 1, 255));
    return scene;
}

inline Matrix Shift(double dx, double dy) { return TranslationHomography(dx, dy); }

// A small rotation about the view centre followed by a shift.
inline Matrix Turn(double degrees, double dx, double dy)
{
    const double a = degrees * 3.14159265358979 / 180.0;
    Matrix m = Matrix::Identity(3);
    m[0][0] = std::cos(a);
    m[0][1] = -std::sin(a);
    m[1][0] = std::sin(a);
    m[1][1] = std::cos(a);
    m[0][2] = dx;
    m[1][2] = dy;
    return m;
}

inline constexpr int kViewWidth = 160;
inline constexpr int kViewHeight = 120;

// Views of one scene through known view-to-scene homographies, every neighbouring pair registered with its
// true homography and the geometry built; `truth` holds the true to-reference homographies.
struct SyntheticPanorama {
    MemoryMosaic m;
    std::vector<Matrix> truth;
};

inline SyntheticPanorama MakePanorama(const std::vector<ColorImage>& views, const std::vector<Matrix>& view_to_scene)
{
    SyntheticPanorama p;
    p.m = MakeMemoryMosaic(views);
    Mosaic& mosaic = *p.m.mosaic;
    for (int i = 0; i + 1 < static_cast<int>(views.size()); ++i) {
        const Matrix to_next = Inverse(view_to_scene[static_cast<std::size_t>(i + 1)]) * view_to_scene[static_cast<std::size_t>(i)];
        StorePairResult(mosaic.alignments(), i, to_next, Inverse(to_next), 1.0);
    }
    EXPECT_TRUE(mosaic.UpdateGeometry());
    const Matrix scene_to_reference = Inverse(view_to_scene[static_cast<std::size_t>(mosaic.reference())]);
    for (const Matrix& v : view_to_scene) p.truth.push_back(scene_to_reference * v);
    return p;
}

// Three views of a textured scene, each overlapping the next by 100 of its 160 columns, off whole-pixel steps
// and the last one slightly turned; the middle one is the reference.
//
// Matches are found at whole pixels, so even a correctly placed source comes out of the fit a fraction of a
// pixel off; narrower overlaps leave the far corners of a turned source less well held.
inline std::vector<Matrix> ThreeViewPoses()
{
    return {Shift(180.4, 100.0), Shift(240.4, 101.3), Turn(0.3, 299.7, 99.2)};
}

inline std::vector<ColorImage> Render(const ColorImage& scene, const std::vector<Matrix>& poses)
{
    std::vector<ColorImage> views;
    for (const Matrix& pose : poses) views.push_back(RenderView(scene, pose, kViewWidth, kViewHeight));
    return views;
}

inline SyntheticPanorama MakeTexturedPanorama()
{
    static const ColorImage scene = CrispScene(480, 200, 7);
    return MakePanorama(Render(scene, ThreeViewPoses()), ThreeViewPoses());
}

// Moves a source's placement by (dx, dy) mosaic pixels.
inline void Misplace(Mosaic& mosaic, int source, double dx, double dy)
{
    SourceAlignment& record = mosaic.alignment(source);
    record.to_reference = Shift(dx, dy) * record.to_reference;
    record.from_reference = Inverse(record.to_reference);
}

// How far the mosaic places a source's corners from where they truly belong.
inline double PlacementError(const Mosaic& mosaic, const SyntheticPanorama& p, int source)
{
    return CornerError(mosaic.alignment(source).to_reference, p.truth[static_cast<std::size_t>(source)], kViewWidth,
                       kViewHeight);
}

}  // namespace tp::test
