// Gains that vary over a source, on top of its one gain: a grid of blocks per source, each block's gain found
// by least squares over what it overlaps of the other sources, smoothed, and applied by interpolating between
// block centres. It evens out what one gain per source cannot, such as corners darkened by the lens or a sky
// that brightens towards the sun, which otherwise show as steps where multi-band blending ends.
#pragma once

#include <vector>

#include "compositing/exposure_gains.h"
#include "imaging/image_buffer.h"

namespace tp {

class Mosaic;

// Gains of the blocks of one source's working image, row by row; a block's gain holds at its centre.
class GainGrid {
public:
    GainGrid() = default;
    GainGrid(int columns, int rows, int working_width, int working_height);

    int columns() const { return columns_; }
    int rows() const { return rows_; }
    bool empty() const { return gains_.empty(); }
    double& at(int column, int row) { return gains_[static_cast<std::size_t>(row * columns_ + column)]; }
    double at(int column, int row) const { return gains_[static_cast<std::size_t>(row * columns_ + column)]; }
    // The block a working-image pixel lies in.
    int ColumnOf(int x) const;
    int RowOf(int y) const;
    // Where a position falls between two block centres: the blocks and the second one's weight.
    struct Tap {
        int first = 0;
        int second = 0;
        double weight = 0.0;
    };
    // The taps of `width` pixel columns of an image whose pixels span `working_per_pixel` working pixels, and
    // the gains along a row at working position y through them, interpolated between block centres (held
    // beyond the outer ones).
    std::vector<Tap> ColumnTaps(int width, double working_per_pixel) const;
    void RowGains(double y, const std::vector<Tap>& columns, double* out) const;

private:
    static Tap TapAt(double position, double block, int count);

    int columns_ = 0;
    int rows_ = 0;
    double block_width_ = 1.0;
    double block_height_ = 1.0;
    std::vector<double> gains_;
};

// Blocks along a working image's longer side.
inline constexpr int kGainBlocksAlongLongerSide = 16;

// Every source's gain (SolveGains over the pairs' overlaps) and its block gains on top (a grid of 1s for a
// source off the chain or without overlaps), from one walk over the overlaps, sampled as basic blending
// samples; integer sums, so the same on any thread count.
struct ExposureEstimate {
    std::vector<ChannelGains> gains;
    std::vector<GainGrid> grids;
};
ExposureEstimate EstimateExposure(const Mosaic& mosaic);

// `image` (the working image, or the source at another size) with its gains applied: every sample times its
// channel's gain and the grid's gain where it lies, rounded and held to 1..255 (0 stays 0).
ColorImage ApplyGainField(const ColorImage& image, const ChannelGains& gains, const GainGrid& grid, int working_width,
                          int working_height);
// The same in the image's own pixels, for a source read at full size that should not be held twice.
void ApplyGainFieldInPlace(ColorImage& image, const ChannelGains& gains, const GainGrid& grid, int working_width,
                           int working_height);

}  // namespace tp
