// The weights of basic blending: 10 at a working image's centre, one less for every tenth of its
// half-diagonal; kept as a table, since every source of a mosaic has the same size.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tp {

class CentreWeights {
public:
    CentreWeights(int width, int height)
        : width_(width), weights_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
    {
        const int cx = width / 2, cy = height / 2;
        const double tenth = 0.1 * std::sqrt(static_cast<double>(cx) * cx + static_cast<double>(cy) * cy);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const double dx = x - cx, dy = y - cy;
                weights_[Index(x, y)] = static_cast<std::int8_t>(10 - static_cast<int>(std::sqrt(dx * dx + dy * dy) / tenth));
            }
    }
    int operator()(int x, int y) const { return weights_[Index(x, y)]; }

private:
    std::size_t Index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }
    int width_;
    std::vector<std::int8_t> weights_;
};

}  // namespace tp
