// upscale-image IN OUT WIDTH HEIGHT: the picture in IN stretched to WIDTH x HEIGHT by bilinear interpolation
// and written to OUT (format from its name). Makes large sources for memory and speed measurements out of
// ordinary photographs; pictures of one set stretched alike still overlap as the originals did.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "imaging/image_file.h"

namespace {

// Source position of every output sample along one axis, pixel centres aligned, as a cell and a weight.
struct Tap {
    int cell;
    float weight;  // of cell + 1
};

std::vector<Tap> Taps(int source, int target)
{
    std::vector<Tap> taps(static_cast<std::size_t>(target));
    for (int k = 0; k < target; ++k) {
        const float at = std::clamp((k + 0.5f) * source / target - 0.5f, 0.0f, static_cast<float>(source - 1));
        const int cell = std::min(static_cast<int>(at), std::max(source - 2, 0));
        taps[static_cast<std::size_t>(k)] = {cell, source > 1 ? at - cell : 0.0f};
    }
    return taps;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: upscale-image IN OUT WIDTH HEIGHT\n");
        return 2;
    }
    tp::ColorImage in;
    if (const int code = tp::ReadImage(in, argv[1]); code != 0) {
        std::fprintf(stderr, "%s: reading error (code %d)\n", argv[1], code);
        return 1;
    }
    const int width = std::atoi(argv[3]);
    const int height = std::atoi(argv[4]);
    tp::ColorImage out;
    if (width <= 0 || height <= 0 || !out.allocate(width, height)) {
        std::fprintf(stderr, "upscale-image: cannot make a %s x %s picture\n", argv[3], argv[4]);
        return 1;
    }
    const std::vector<Tap> across = Taps(in.width(), width);
    const std::vector<Tap> down = Taps(in.height(), height);
    const int last_x = in.width() - 1;
    const int last_y = in.height() - 1;
    for (int y = 0; y < height; ++y) {
        const Tap& v = down[static_cast<std::size_t>(y)];
        const std::uint8_t* top = in.row(v.cell);
        const std::uint8_t* bottom = in.row(std::min(v.cell + 1, last_y));
        std::uint8_t* row = out.row(y);
        for (int x = 0; x < width; ++x) {
            const Tap& h = across[static_cast<std::size_t>(x)];
            const int left = 3 * h.cell;
            const int right = 3 * std::min(h.cell + 1, last_x);
            for (int c = 0; c < 3; ++c) {
                const float upper = top[left + c] + h.weight * (top[right + c] - top[left + c]);
                const float lower = bottom[left + c] + h.weight * (bottom[right + c] - bottom[left + c]);
                row[3 * x + c] = static_cast<std::uint8_t>(upper + v.weight * (lower - upper) + 0.5f);
            }
        }
    }
    if (const int code = tp::WriteImage(out, argv[2]); code != 0) {
        std::fprintf(stderr, "%s: write failure (code %d)\n", argv[2], code);
        return 1;
    }
    return 0;
}
