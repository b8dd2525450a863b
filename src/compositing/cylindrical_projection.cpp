#include "compositing/cylindrical_projection.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "compositing/mosaic.h"
#include "imaging/parallel.h"
#include "imaging/pixel.h"

namespace tp {

namespace {

double Sign(double v) { return v > 0 ? 1.0 : v < 0 ? -1.0 : 0.0; }

bool Usable(double f) { return std::isfinite(f) && f > 0.0; }

}  // namespace

PairFocal EstimatePairFocal(const Matrix& h)
{
    const double h00 = h[0][0], h01 = h[0][1], h02 = h[0][2];
    const double h10 = h[1][0], h11 = h[1][1], h12 = h[1][2];
    const double h20 = h[2][0], h21 = h[2][1], h22 = h[2][2];
    const double u = h12 * h22;
    const double v = h02 * h22;
    const double p = Sign(u) * std::atan(std::sqrt(std::fabs(h21 * h12 / (h11 * h22))));
    const double q = -Sign(v) * std::atan(std::sqrt(std::fabs(h20 * h02 / (h00 * h22))));
    const double r = std::fabs(p) <= std::fabs(q) ? v / (h00 * h20 + h01 * h21) : u / (h10 * h20 + h11 * h21);
    PairFocal focal;
    focal.first = std::sqrt(std::fabs(r));
    const double f2 = focal.first * focal.first;
    const double s = f2 * (h20 * h20 + h21 * h21) + h22 * h22;
    focal.second = 0.5 * (std::sqrt((f2 * (h00 * h00 + h01 * h01) + h02 * h02) / s) +
                          std::sqrt((f2 * (h10 * h10 + h11 * h11) + h12 * h12) / s));
    focal.valid = Usable(focal.first) && Usable(focal.second);
    return focal;
}

ColorImage ProjectToCylinder(const ColorImage& planar, PointI centre, double focal)
{
    if (std::isinf(focal)) return planar;  // the cylinder of an infinite focal length is the plane
    const int width = planar.width();
    const int height = planar.height();
    ColorImage cylinder(width, height);
    if (cylinder.empty() || !Usable(focal)) return cylinder;

    // The target column and the root depend on the column only.
    const double angle_unit = std::atan(1.0 / focal);
    std::vector<int> target_column(static_cast<std::size_t>(width));
    std::vector<double> root(static_cast<std::size_t>(width));
    for (int j = 0; j < width; ++j) {
        const double dx = j - centre.x;
        target_column[static_cast<std::size_t>(j)] = centre.x + static_cast<int>(std::atan(dx / focal) / angle_unit + 0.5);
        root[static_cast<std::size_t>(j)] = std::sqrt(dx * dx + focal * focal);
    }
    // Columns that land on different target columns never meet, so column bands split at such a change can
    // be sent in parallel; within a band the pixels go in the same order as a whole-image pass (rows top to
    // bottom, columns left to right), so every target sees the same sequence of hits.
    std::vector<int> band_starts{0};
    const int band_width = std::max(64, width / (4 * WorkerThreads()));
    for (int j = 1; j < width; ++j)
        if (j - band_starts.back() >= band_width &&
            target_column[static_cast<std::size_t>(j)] != target_column[static_cast<std::size_t>(j) - 1])
            band_starts.push_back(j);
    band_starts.push_back(width);
    ParallelFor(0, static_cast<int>(band_starts.size()) - 1, [&](int band) {
        const int first = band_starts[static_cast<std::size_t>(band)];
        const int last = band_starts[static_cast<std::size_t>(band) + 1];
        for (int k = 0; k < height; ++k) {
            const std::uint8_t* in = planar.row(k);
            const double dy = k - centre.y;
            for (int j = first; j < last; ++j) {
                const int column = target_column[static_cast<std::size_t>(j)];
                const int row = centre.y + static_cast<int>(focal * dy / root[static_cast<std::size_t>(j)] + 0.5);
                if (!cylinder.contains(column, row)) continue;
                std::uint8_t* target = cylinder.pixel(column, row);
                const std::uint8_t* source = in + 3 * j;
                if (IsEmptyPixel(target)) {
                    target[0] = source[0];
                    target[1] = source[1];
                    target[2] = source[2];
                } else {
                    for (int c = 0; c < 3; ++c) target[c] = static_cast<std::uint8_t>((target[c] + source[c]) / 2);
                }
            }
        }
    });
    return cylinder;
}

void Mosaic::EstimateFocalLength()
{
    const int n = source_count();
    for (int k = 0; k + 1 < n; ++k) {
        if (!alignment(k).in_chain) continue;
        const PairFocal focal = EstimatePairFocal(alignment(k).to_next);
        if (!focal.valid) continue;
        double& first = alignment(k).focal_estimate;
        first = first == 0.0 ? focal.first : 0.5 * (focal.first + first);
        alignment(k + 1).focal_estimate = focal.second;
    }
    double sum = 0.0;
    int count = 0;
    for (const SourceAlignment& record : alignments_)
        if (record.in_chain && Usable(record.focal_estimate)) {
            sum += record.focal_estimate;
            ++count;
        }
    focal_length_ = count > 0 ? sum / count : std::numeric_limits<double>::infinity();
}

void Mosaic::ProjectCylindrical()
{
    if (focal_length_ == 0.0) EstimateFocalLength();
    cylindrical_ = ProjectToCylinder(planar_, canvas_offset_, focal_length_);
}

}  // namespace tp
