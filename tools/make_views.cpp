// make-views PHOTO OUT_DIR [COUNT]: cuts COUNT overlapping views out of one wide photograph, as a camera
// turning about its vertical axis would see the scene, so that stitching them again can be checked against
// the photograph. The views are written as OUT_DIR/view1.jpg ... and the true view-to-photo homographies
// (centred coordinates) are printed, one per line.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "imaging/image_file.h"
#include "imaging/matrix.h"

namespace {

constexpr double kOverlap = 0.5;  // share of a view's width seen by its neighbour too

// View pixel (centred) -> photo pixel (centred) for a camera of focal length f turned by `yaw` radians.
tp::Matrix TurnedCamera(double yaw, double f)
{
    const double c = std::cos(yaw), s = std::sin(yaw);
    tp::Matrix h(3, 3);
    const double values[9] = {c, 0, f * s, 0, 1, 0, -s / f, 0, c};
    std::copy(values, values + 9, h.data());
    return h;
}

bool Map(const tp::Matrix& h, double x, double y, double& px, double& py)
{
    const double d = h[2][0] * x + h[2][1] * y + h[2][2];
    if (d <= 0) return false;
    px = (h[0][0] * x + h[0][1] * y + h[0][2]) / d;
    py = (h[1][0] * x + h[1][1] * y + h[1][2]) / d;
    return true;
}

// Whether every corner of a w x h view falls inside the photo.
bool Inside(const tp::Matrix& h, int w, int h_, int photo_w, int photo_h)
{
    const double xs[2] = {-w / 2.0, w / 2.0}, ys[2] = {-h_ / 2.0, h_ / 2.0};
    for (double x : xs)
        for (double y : ys) {
            double px, py;
            if (!Map(h, x, y, px, py) || std::fabs(px) > photo_w / 2.0 - 2 || std::fabs(py) > photo_h / 2.0 - 2) return false;
        }
    return true;
}

tp::ColorImage Render(const tp::ColorImage& photo, const tp::Matrix& h, int w, int h_)
{
    tp::ColorImage view(w, h_);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w; ++x) {
            double px, py;
            if (!Map(h, x - w / 2, y - h_ / 2, px, py)) continue;
            px += photo.width() / 2;
            py += photo.height() / 2;
            const int ix = static_cast<int>(std::floor(px)), iy = static_cast<int>(std::floor(py));
            if (ix < 0 || iy < 0 || ix + 1 >= photo.width() || iy + 1 >= photo.height()) continue;
            const double fx = px - ix, fy = py - iy;
            for (int c = 0; c < 3; ++c) {
                const double v = (1 - fy) * ((1 - fx) * photo.at(ix, iy, c) + fx * photo.at(ix + 1, iy, c)) +
                                 fy * ((1 - fx) * photo.at(ix, iy + 1, c) + fx * photo.at(ix + 1, iy + 1, c));
                view.at(x, y, c) = static_cast<std::uint8_t>(v + 0.5);
            }
        }
    return view;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: make-views PHOTO OUT_DIR [COUNT]\n");
        return 2;
    }
    const int count = argc == 4 ? std::atoi(argv[3]) : 3;
    if (count < 2 || count > 12) {
        std::fprintf(stderr, "make-views: COUNT must be 2 to 12\n");
        return 2;
    }
    tp::ColorImage photo;
    if (const int code = tp::ReadImage(photo, argv[1]); code != 0) {
        std::fprintf(stderr, "%s: reading error (code %d)\n", argv[1], code);
        return 1;
    }
    std::filesystem::create_directories(argv[2]);

    // Views as wide as the photo allows for `count` of them with half their width overlapping, 4:3, shrunk until the turned
    // cameras' corners stay inside the photo.
    int width = static_cast<int>(photo.width() / (count * (1 - kOverlap) + kOverlap));
    for (;; width -= 8) {
        if (width < 64) {
            std::fprintf(stderr, "make-views: the photograph is too small for %d views\n", count);
            return 1;
        }
        const int height = std::min(width * 3 / 4, photo.height() - 8);
        const double f = 1.5 * width;  // about 37 degrees across
        const double step = width * (1 - kOverlap);
        bool fits = true;
        for (int i = 0; i < count && fits; ++i)
            fits = Inside(TurnedCamera(std::atan((i - (count - 1) / 2.0) * step / f), f), width, height, photo.width(), photo.height());
        if (!fits) continue;
        for (int i = 0; i < count; ++i) {
            const tp::Matrix h = TurnedCamera(std::atan((i - (count - 1) / 2.0) * step / f), f);
            const std::string path = (std::filesystem::path(argv[2]) / ("view" + std::to_string(i + 1) + ".jpg")).string();
            if (tp::WriteImage(Render(photo, h, width, height), path) != 0) {
                std::fprintf(stderr, "%s: write failure\n", path.c_str());
                return 1;
            }
            std::printf("%s %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g\n", path.c_str(), h[0][0], h[0][1], h[0][2], h[1][0],
                        h[1][1], h[1][2], h[2][0], h[2][1], h[2][2]);
        }
        return 0;
    }
}
