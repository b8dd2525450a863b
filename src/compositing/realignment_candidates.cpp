// What a grid point collects: grey patches from textured places of the sources, each with a shape matrix
// that says in which directions the patch can be located precisely, kept ranked by their match score.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "compositing/realignment.h"

namespace tp {

namespace {

// Sum of squared gradients per interior pixel is divided by this much more, keeping the shape matrices of
// ordinary 8-bit patches near unit size.
constexpr double kShapeNormaliser = 125.0;

// Texture is only read where the central differences stay clear of the outer two pixels of the image.
constexpr int kTextureBorder = 2;

// Working-image pixels (x, y) around `centre`: the patch_size square, pixels outside the image read 0.
GrayImage CopyPatch(const GrayImage& grey, PointI centre, int patch_size)
{
    GrayImage patch(std::max(patch_size, 0), std::max(patch_size, 0));
    const int left = centre.x - patch_size / 2;
    const int top = centre.y - patch_size / 2;
    for (int j = 0; j < patch.height(); ++j) {
        const int y = top + j;
        if (y < 0 || y >= grey.height()) continue;
        const std::uint8_t* source = grey.row(y);
        std::uint8_t* target = patch.row(j);
        for (int i = 0; i < patch.width(); ++i) {
            const int x = left + i;
            if (x >= 0 && x < grey.width()) target[i] = source[x];
        }
    }
    return patch;
}

// Stable: a slot only moves past a strictly higher score, so equal scores keep their order of arrival.
void RankByScore(RealignmentGrid& grid)
{
    const auto score = [&](int rank_position) {
        return grid.candidates[static_cast<std::size_t>(grid.rank[static_cast<std::size_t>(rank_position)])].score;
    };
    for (int pass = 0; pass + 1 < grid.count; ++pass)
        for (int i = 0; i + 1 < grid.count - pass; ++i)
            if (score(i) > score(i + 1))
                std::swap(grid.rank[static_cast<std::size_t>(i)], grid.rank[static_cast<std::size_t>(i + 1)]);
}

}  // namespace

GrayImage GreyLevels(const ColorImage& image)
{
    GrayImage grey(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* in = image.row(y);
        std::uint8_t* out = grey.row(y);
        for (int x = 0; x < image.width(); ++x, in += 3) out[x] = static_cast<std::uint8_t>((in[0] + in[1] + in[2]) / 3);
    }
    return grey;
}

TextureMeasure MeasureTexture(const GrayImage& grey, int x, int y, int half_size)
{
    TextureMeasure measure;
    if (half_size < 0) return measure;
    // Window pixels whose neighbours (one step away) lie within [2, side - 3].
    const int first_x = std::max(x - half_size, kTextureBorder + 1);
    const int last_x = std::min(x + half_size, grey.width() - kTextureBorder - 2);
    const int first_y = std::max(y - half_size, kTextureBorder + 1);
    const int last_y = std::min(y + half_size, grey.height() - kTextureBorder - 2);
    long across = 0;
    long down = 0;
    for (int wy = first_y; wy <= last_y; ++wy) {
        const std::uint8_t* above = grey.row(wy - 1);
        const std::uint8_t* row = grey.row(wy);
        const std::uint8_t* below = grey.row(wy + 1);
        for (int wx = first_x; wx <= last_x; ++wx) {
            across += std::abs(row[wx - 1] - row[wx + 1]);
            down += std::abs(above[wx] - below[wx]);
            ++measure.counted;
        }
    }
    if (measure.counted > 0) {
        measure.across = static_cast<float>(across) / static_cast<float>(measure.counted);
        measure.down = static_cast<float>(down) / static_cast<float>(measure.counted);
    }
    return measure;
}

bool IsTextured(const GrayImage& grey, int x, int y, int half_size, float threshold)
{
    const TextureMeasure measure = MeasureTexture(grey, x, y, half_size);
    return measure.counted > 0 && (measure.across > threshold || measure.down > threshold);
}

Matrix2 ShapeMatrix(const GrayImage& patch)
{
    double sxx = 0.0, sxy = 0.0, syy = 0.0;
    int interior = 0;
    for (int y = 1; y + 1 < patch.height(); ++y) {
        const std::uint8_t* above = patch.row(y - 1);
        const std::uint8_t* row = patch.row(y);
        const std::uint8_t* below = patch.row(y + 1);
        for (int x = 1; x + 1 < patch.width(); ++x) {
            const double gx = (row[x + 1] - row[x - 1]) / 2.0;
            const double gy = (below[x] - above[x]) / 2.0;
            sxx += gx * gx;
            sxy += gx * gy;
            syy += gy * gy;
            ++interior;
        }
    }
    if (interior == 0) return {};
    const double norm = kShapeNormaliser * interior;
    sxx /= norm;
    sxy /= norm;
    syy /= norm;
    const double f = std::sqrt((sxx - syy) * (sxx - syy) + 4.0 * sxy * sxy);
    const double larger = (sxx + syy + f) / 2.0;
    // Rounding can put the smaller eigenvalue of a one-directional patch a hair below 0.
    const double smaller = std::max((sxx + syy - f) / 2.0, 0.0);
    double c = 2.0 * sxy;
    double s = f - (sxx - syy);
    const double length = std::hypot(c, s);
    if (length > 0.0) {
        c /= length;
        s /= length;
    } else {
        c = s = 0.0;
    }
    const double r1 = std::sqrt(larger);
    const double r2 = std::sqrt(smaller);
    return {c * r1, -s * r2, s * r1, c * r2};
}

void AddCandidate(RealignmentGrid& grid, const GrayImage& grey, PointI centre, const GridCandidate& record)
{
    const auto capacity = static_cast<std::size_t>(std::max(grid.capacity, 0));
    // A grid point not laid out by MakeGrid has nowhere to keep a candidate.
    if (capacity == 0 || grid.patches.size() < capacity || grid.candidates.size() < capacity || grid.rank.size() < capacity)
        return;
    grid.has_feature = 1;
    int slot;
    if (grid.count < grid.capacity) {
        slot = grid.count;
        grid.rank[static_cast<std::size_t>(grid.count)] = slot;
        ++grid.count;
    } else {
        slot = grid.rank[static_cast<std::size_t>(grid.count - 1)];
    }
    const auto index = static_cast<std::size_t>(slot);
    grid.patches[index] = CopyPatch(grey, centre, grid.patch_size);
    grid.candidates[index] = record;
    grid.candidates[index].shape = ShapeMatrix(grid.patches[index]);
    RankByScore(grid);
}

}  // namespace tp
