#include "compositing/block_gains.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>

#include "compositing/mosaic.h"
#include "compositing/placed_sources.h"
#include "imaging/parallel.h"

namespace tp {

namespace {

// Blocks with fewer shared pixels than this say too little to move their gain.
constexpr std::int64_t kFewestPixels = 16;
// Block gains beyond these mean the overlaps disagree beyond any exposure change.
constexpr double kLowestGain = 0.5, kHighestGain = 2.0;
constexpr int kSmoothingPasses = 2;

// What two blocks of two sources show over the pixels they share: pixel count and each one's sums of blue,
// green and red.
struct BlockOverlap {
    std::int64_t pixels = 0;
    std::array<std::int64_t, 3> first_sums{};
    std::array<std::int64_t, 3> second_sums{};
    void Add(const BlockOverlap& other)
    {
        pixels += other.pixels;
        for (std::size_t c = 0; c < 3; ++c) {
            first_sums[c] += other.first_sums[c];
            second_sums[c] += other.second_sums[c];
        }
    }
};
using BlockPair = std::pair<int, int>;  // unknown numbers of the two blocks
using BlockOverlaps = std::map<BlockPair, BlockOverlap>;

// A symmetric positive definite system over every block of every source, off-diagonal entries kept sparse.
class BlockSystem {
public:
    explicit BlockSystem(int unknowns) : diagonal_(static_cast<std::size_t>(unknowns), 0.0), rhs_(static_cast<std::size_t>(unknowns), 0.0) {}

    void Add(const BlockPair& blocks, const BlockOverlap& o, double first_gain, double second_gain)
    {
        // The sources' own model, one block standing for one source.
        const GainModel model;
        const double alpha = 1.0 / (model.sigma_difference * model.sigma_difference);
        const double beta = 1.0 / (model.sigma_gain * model.sigma_gain);
        const double n = static_cast<double>(o.pixels);
        const double a = first_gain * static_cast<double>(o.first_sums[0] + o.first_sums[1] + o.first_sums[2]) / (3.0 * n);
        const double b = second_gain * static_cast<double>(o.second_sums[0] + o.second_sums[1] + o.second_sums[2]) / (3.0 * n);
        const auto [i, j] = blocks;
        diagonal_[static_cast<std::size_t>(i)] += 2.0 * alpha * a * a * n + beta * n;
        diagonal_[static_cast<std::size_t>(j)] += 2.0 * alpha * b * b * n + beta * n;
        off_[{std::min(i, j), std::max(i, j)}] -= 2.0 * alpha * a * b * n;
        rhs_[static_cast<std::size_t>(i)] += beta * n;
        rhs_[static_cast<std::size_t>(j)] += beta * n;
    }

    // Conjugate gradients from all gains 1; a block that shares nothing keeps 1.
    std::vector<double> Solve() const
    {
        std::vector<double> diagonal = diagonal_, rhs = rhs_;
        for (std::size_t k = 0; k < diagonal.size(); ++k)
            if (diagonal[k] == 0.0) {
                diagonal[k] = 1.0;
                rhs[k] = 1.0;
            }
        const auto multiply = [&](const std::vector<double>& x, std::vector<double>& out) {
            for (std::size_t k = 0; k < x.size(); ++k) out[k] = diagonal[k] * x[k];
            for (const auto& [pair, value] : off_) {
                out[static_cast<std::size_t>(pair.first)] += value * x[static_cast<std::size_t>(pair.second)];
                out[static_cast<std::size_t>(pair.second)] += value * x[static_cast<std::size_t>(pair.first)];
            }
        };
        const auto dot = [](const std::vector<double>& u, const std::vector<double>& v) {
            double sum = 0.0;
            for (std::size_t k = 0; k < u.size(); ++k) sum += u[k] * v[k];
            return sum;
        };
        std::vector<double> x(rhs.size(), 1.0), r(rhs.size()), p, q(rhs.size());
        multiply(x, q);
        for (std::size_t k = 0; k < r.size(); ++k) r[k] = rhs[k] - q[k];
        p = r;
        double rr = dot(r, r);
        const double goal = 1e-20 * std::max(dot(rhs, rhs), 1.0);
        for (std::size_t iteration = 0; iteration < 4 * rhs.size() + 100 && rr > goal; ++iteration) {
            multiply(p, q);
            const double step = rr / dot(p, q);
            for (std::size_t k = 0; k < x.size(); ++k) {
                x[k] += step * p[k];
                r[k] -= step * q[k];
            }
            const double next = dot(r, r);
            for (std::size_t k = 0; k < p.size(); ++k) p[k] = r[k] + next / rr * p[k];
            rr = next;
        }
        return x;
    }

private:
    std::vector<double> diagonal_;
    std::vector<double> rhs_;
    std::map<BlockPair, double> off_;
};

// The shared pixels of two placed sources, by block pair. Each row collects its own; the rows are added in
// order, and the sums are integers, so the thread count never shows.
BlockOverlaps MeasureBlocks(const PlacedSource& a, const PlacedSource& b, const GainGrid& grid, int first_unknown,
                            int second_unknown, int width, int height)
{
    const OverlapRows span = CommonRows(a, b);
    if (span.last < span.first) return {};
    // A row meets few block pairs, and neighbouring pixels mostly the same one: a short list per row, its
    // last entry tried first.
    using RowSums = std::vector<std::pair<BlockPair, BlockOverlap>>;
    std::vector<RowSums> rows(static_cast<std::size_t>(span.last - span.first + 1));
    ForEachOverlapPixel(a, b, width, height, [&](int y, const std::uint8_t* p, const std::uint8_t* q, PointI pa, PointI pb) {
        const BlockPair blocks{first_unknown + grid.RowOf(pa.y) * grid.columns() + grid.ColumnOf(pa.x),
                               second_unknown + grid.RowOf(pb.y) * grid.columns() + grid.ColumnOf(pb.x)};
        RowSums& row = rows[static_cast<std::size_t>(y - span.first)];
        auto entry = !row.empty() && row.back().first == blocks
                         ? row.end() - 1
                         : std::find_if(row.begin(), row.end(), [&](const auto& e) { return e.first == blocks; });
        if (entry == row.end()) {
            row.push_back({blocks, {}});
            entry = row.end() - 1;
        } else if (entry != row.end() - 1) {
            std::iter_swap(entry, row.end() - 1);
            entry = row.end() - 1;
        }
        BlockOverlap& sums = entry->second;
        ++sums.pixels;
        for (std::size_t c = 0; c < 3; ++c) {
            sums.first_sums[c] += p[c];
            sums.second_sums[c] += q[c];
        }
    });
    BlockOverlaps all;
    for (const RowSums& row : rows)
        for (const auto& [blocks, sums] : row) all[blocks].Add(sums);
    return all;
}

// Binomial smoothing of a grid, edges repeated, so that neighbouring blocks never differ by much.
void Smooth(GainGrid& grid)
{
    for (int pass = 0; pass < kSmoothingPasses; ++pass) {
        const GainGrid before = grid;
        for (int r = 0; r < grid.rows(); ++r)
            for (int c = 0; c < grid.columns(); ++c) {
                double sum = 0.0;
                for (int dr = -1; dr <= 1; ++dr)
                    for (int dc = -1; dc <= 1; ++dc) {
                        const int rr = std::clamp(r + dr, 0, grid.rows() - 1), cc = std::clamp(c + dc, 0, grid.columns() - 1);
                        sum += (dr == 0 ? 2.0 : 1.0) * (dc == 0 ? 2.0 : 1.0) * before.at(cc, rr);
                    }
                grid.at(c, r) = sum / 16.0;
            }
    }
}

double MeanGain(const ChannelGains& gains) { return (gains[0] + gains[1] + gains[2]) / 3.0; }

}  // namespace

GainGrid::GainGrid(int columns, int rows, int working_width, int working_height)
    : columns_(std::max(columns, 1)),
      rows_(std::max(rows, 1)),
      block_width_(static_cast<double>(std::max(working_width, 1)) / std::max(columns, 1)),
      block_height_(static_cast<double>(std::max(working_height, 1)) / std::max(rows, 1)),
      gains_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), 1.0)
{
}

int GainGrid::ColumnOf(int x) const { return std::clamp(static_cast<int>(x / block_width_), 0, columns_ - 1); }
int GainGrid::RowOf(int y) const { return std::clamp(static_cast<int>(y / block_height_), 0, rows_ - 1); }

GainGrid::Tap GainGrid::TapAt(double position, double block, int count)
{
    const double g = std::clamp((position + 0.5) / block - 0.5, 0.0, count - 1.0);
    const int first = static_cast<int>(g);
    return {first, std::min(first + 1, count - 1), g - first};
}

std::vector<GainGrid::Tap> GainGrid::ColumnTaps(int width, double working_per_pixel) const
{
    std::vector<Tap> taps(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) taps[static_cast<std::size_t>(x)] = TapAt((x + 0.5) * working_per_pixel - 0.5, block_width_, columns_);
    return taps;
}

void GainGrid::RowGains(double y, const std::vector<Tap>& columns, double* out) const
{
    const Tap row = TapAt(y, block_height_, rows_);
    // The two block rows blended first: then each pixel needs one interpolation between two columns.
    std::vector<double> blended(static_cast<std::size_t>(columns_));
    for (int c = 0; c < columns_; ++c) blended[static_cast<std::size_t>(c)] = at(c, row.first) + row.weight * (at(c, row.second) - at(c, row.first));
    for (std::size_t x = 0; x < columns.size(); ++x) {
        const Tap& t = columns[x];
        const double left = blended[static_cast<std::size_t>(t.first)], right = blended[static_cast<std::size_t>(t.second)];
        out[x] = left + t.weight * (right - left);
    }
}

ExposureEstimate EstimateExposure(const Mosaic& mosaic)
{
    const int n = mosaic.source_count();
    const int width = mosaic.working_width(), height = mosaic.working_height();
    const int longer = std::max(width, height);
    const int columns = std::max(1, static_cast<int>(std::lround(static_cast<double>(kGainBlocksAlongLongerSide) * width / longer)));
    const int rows = std::max(1, static_cast<int>(std::lround(static_cast<double>(kGainBlocksAlongLongerSide) * height / longer)));
    ExposureEstimate estimate;
    estimate.grids.assign(static_cast<std::size_t>(n), GainGrid(columns, rows, width, height));

    // One walk over every pair's shared pixels gives both: the pair's sums are its blocks' sums added up.
    const int blocks = columns * rows;
    const std::vector<std::optional<PlacedSource>> placed = PlaceSources(mosaic);
    std::vector<PairOverlap> pairs;
    std::vector<BlockOverlaps> pair_blocks;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            const auto& a = placed[static_cast<std::size_t>(i)];
            const auto& b = placed[static_cast<std::size_t>(j)];
            if (!a || !b) continue;
            BlockOverlaps overlaps = MeasureBlocks(*a, *b, estimate.grids.front(), i * blocks, j * blocks, width, height);
            BlockOverlap total;
            for (const auto& [pair, o] : overlaps) total.Add(o);
            if (total.pixels == 0) continue;
            pairs.push_back({i, j, total.pixels, total.first_sums, total.second_sums});
            pair_blocks.push_back(std::move(overlaps));
        }
    estimate.gains = SolveGains(n, pairs);

    BlockSystem system(n * blocks);
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const double first_gain = MeanGain(estimate.gains[static_cast<std::size_t>(pairs[k].first)]);
        const double second_gain = MeanGain(estimate.gains[static_cast<std::size_t>(pairs[k].second)]);
        for (const auto& [pair, o] : pair_blocks[k])
            if (o.pixels >= kFewestPixels) system.Add(pair, o, first_gain, second_gain);
    }
    const std::vector<double> solution = system.Solve();
    if (std::any_of(solution.begin(), solution.end(), [](double g) { return !std::isfinite(g); })) return estimate;
    for (int i = 0; i < n; ++i) {
        GainGrid& grid = estimate.grids[static_cast<std::size_t>(i)];
        for (int k = 0; k < blocks; ++k)
            grid.at(k % columns, k / columns) = std::clamp(solution[static_cast<std::size_t>(i * blocks + k)], kLowestGain, kHighestGain);
        Smooth(grid);
    }
    return estimate;
}

ColorImage ApplyGainField(const ColorImage& image, const ChannelGains& gains, const GainGrid& grid, int working_width,
                          int working_height)
{
    ColorImage out = image;
    out.drop_companion();
    ApplyGainFieldInPlace(out, gains, grid, working_width, working_height);
    return out;
}

void ApplyGainFieldInPlace(ColorImage& image, const ChannelGains& gains, const GainGrid& grid, int working_width,
                           int working_height)
{
    if (image.empty()) return;
    // Working-image positions of the columns and rows, for images of another size than the working one.
    const double sx = static_cast<double>(working_width) / image.width();
    const double sy = static_cast<double>(working_height) / image.height();
    // Where each column falls between block centres is the same on every row: worked out once.
    const std::vector<GainGrid::Tap> columns = grid.empty() ? std::vector<GainGrid::Tap>{} : grid.ColumnTaps(image.width(), sx);
    ParallelFor(0, image.height(), [&](int y) {
        std::vector<double> row_gain(static_cast<std::size_t>(image.width()), 1.0);
        if (!grid.empty()) grid.RowGains((y + 0.5) * sy - 0.5, columns, row_gain.data());
        std::uint8_t* row = image.row(y);
        for (int x = 0; x < image.width(); ++x) {
            const double g = row_gain[static_cast<std::size_t>(x)];
            for (std::size_t c = 0; c < 3; ++c) {
                std::uint8_t& v = row[3 * x + static_cast<int>(c)];
                if (v != 0) v = static_cast<std::uint8_t>(std::clamp(v * gains[c] * g + 0.5, 1.0, 255.0));
            }
        }
    });
}

}  // namespace tp
