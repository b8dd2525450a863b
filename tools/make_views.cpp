// make-views PHOTO OUT_DIR [COUNT] [options]: cuts COUNT overlapping views out of one wide photograph, as a
// camera turning about its vertical axis would see the scene, so that stitching them again can be checked
// against the truth. Options make the views harder, the way a hand-held camera does:
//   --overlap F   share of a view's width its neighbour sees too (default 0.5)
//   --roll DEG    each view rolled by a random angle within +-DEG
//   --pitch DEG   each view tilted up or down by a random angle within +-DEG
//   --zoom F      each view's focal length scaled by a random factor within [1/F, F]
//   --gain F      every other view's brightness multiplied by F
//   --noise S     independent Gaussian noise of standard deviation S grey levels in every view
//   --seed N      seed of the random choices (default 1)
// The views are written as OUT_DIR/view1.jpg ... (PNG with --png). Printed, one per line: every view's
// view-to-photo homography ("view PATH h00 ... h22"), then every neighbouring pair's true homography from
// view i to view i + 1 ("pair I h00 ... h22"), all in centred coordinates.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "imaging/image_file.h"
#include "imaging/matrix.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Options {
    int count = 3;
    double overlap = 0.5;
    double roll = 0, pitch = 0, zoom = 1, gain = 1, noise = 0;
    unsigned seed = 1;
    bool png = false;
};

struct Camera {
    double yaw = 0, pitch = 0, roll = 0, zoom = 1;
};

tp::Matrix Product(const tp::Matrix& a, const tp::Matrix& b) { return a * b; }

tp::Matrix Rows(std::initializer_list<double> values)
{
    tp::Matrix m(3, 3);
    std::copy(values.begin(), values.end(), m.data());
    return m;
}

// View pixel (centred) -> photo pixel (centred): the photo is the image plane of a camera of focal length f
// looking straight ahead; the view's camera is turned by yaw, then pitch, then roll, with focal f * zoom.
tp::Matrix ViewToPhoto(const Camera& c, double f)
{
    const double cy = std::cos(c.yaw), sy = std::sin(c.yaw), cp = std::cos(c.pitch), sp = std::sin(c.pitch);
    const double cr = std::cos(c.roll), sr = std::sin(c.roll);
    const tp::Matrix yaw = Rows({cy, 0, sy, 0, 1, 0, -sy, 0, cy});
    const tp::Matrix pitch = Rows({1, 0, 0, 0, cp, -sp, 0, sp, cp});
    const tp::Matrix roll = Rows({cr, -sr, 0, sr, cr, 0, 0, 0, 1});
    const tp::Matrix photo = Rows({f, 0, 0, 0, f, 0, 0, 0, 1});
    const double fv = f * c.zoom;
    const tp::Matrix view_inverse = Rows({1 / fv, 0, 0, 0, 1 / fv, 0, 0, 0, 1});
    tp::Matrix h = Product(Product(Product(photo, yaw), Product(pitch, roll)), view_inverse);
    const double k = h[2][2];
    for (int i = 0; i < 9; ++i) h.data()[i] /= k;
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

tp::ColorImage Render(const tp::ColorImage& photo, const tp::Matrix& h, int w, int h_, double gain, double noise, std::mt19937& rng)
{
    tp::ColorImage view(w, h_);
    std::normal_distribution<double> gauss(0.0, noise > 0 ? noise : 1.0);
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
                double v = (1 - fy) * ((1 - fx) * photo.at(ix, iy, c) + fx * photo.at(ix + 1, iy, c)) +
                           fy * ((1 - fx) * photo.at(ix, iy + 1, c) + fx * photo.at(ix + 1, iy + 1, c));
                v = v * gain + (noise > 0 ? gauss(rng) : 0.0);
                view.at(x, y, c) = static_cast<std::uint8_t>(std::clamp(v + 0.5, 0.0, 255.0));
            }
        }
    return view;
}

void PrintMatrix(const tp::Matrix& h)
{
    for (int i = 0; i < 9; ++i) std::printf(" %.9g", h.data()[i]);
    std::printf("\n");
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: make-views PHOTO OUT_DIR [COUNT] [--overlap F] [--roll DEG] [--pitch DEG] [--zoom F] [--gain F]\n"
                 "                  [--noise S] [--seed N] [--png]\n");
    return 2;
}

bool ParseOptions(int argc, char** argv, Options& o)
{
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--png") {
            o.png = true;
            continue;
        }
        if (arg.rfind("--", 0) != 0) {
            o.count = std::atoi(arg.c_str());
            continue;
        }
        if (i + 1 >= argc) return false;
        const double value = std::atof(argv[++i]);
        if (arg == "--overlap") o.overlap = value;
        else if (arg == "--roll") o.roll = value;
        else if (arg == "--pitch") o.pitch = value;
        else if (arg == "--zoom") o.zoom = value;
        else if (arg == "--gain") o.gain = value;
        else if (arg == "--noise") o.noise = value;
        else if (arg == "--seed") o.seed = static_cast<unsigned>(value);
        else return false;
    }
    return o.count >= 2 && o.count <= 12 && o.overlap > 0.05 && o.overlap < 0.95 && o.zoom >= 1 && o.gain > 0 && o.noise >= 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (argc < 3 || !ParseOptions(argc, argv, options)) return Usage();
    tp::ColorImage photo;
    if (const int code = tp::ReadImage(photo, argv[1]); code != 0) {
        std::fprintf(stderr, "%s: reading error (code %d)\n", argv[1], code);
        return 1;
    }
    std::filesystem::create_directories(argv[2]);

    std::mt19937 rng(options.seed);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::vector<Camera> cameras(static_cast<std::size_t>(options.count));
    for (Camera& c : cameras) {
        c.roll = unit(rng) * options.roll * kPi / 180;
        c.pitch = unit(rng) * options.pitch * kPi / 180;
        c.zoom = std::pow(options.zoom, unit(rng));
    }

    // Views as wide as the photo allows for `count` of them with the asked overlap, 4:3, shrunk until the
    // turned cameras' corners stay inside the photo.
    const int count = options.count;
    int width = static_cast<int>(photo.width() / (count * (1 - options.overlap) + options.overlap));
    for (;; width -= 8) {
        if (width < 64) {
            std::fprintf(stderr, "make-views: the photograph is too small for %d views\n", count);
            return 1;
        }
        const int height = std::min(width * 3 / 4, photo.height() - 8);
        const double f = 1.5 * width;  // about 37 degrees across
        const double step = width * (1 - options.overlap);
        std::vector<tp::Matrix> views;
        bool fits = true;
        for (int i = 0; i < count && fits; ++i) {
            Camera c = cameras[static_cast<std::size_t>(i)];
            c.yaw = std::atan((i - (count - 1) / 2.0) * step / f);
            views.push_back(ViewToPhoto(c, f));
            fits = Inside(views.back(), width, height, photo.width(), photo.height());
        }
        if (!fits) continue;
        for (int i = 0; i < count; ++i) {
            const std::string path = (std::filesystem::path(argv[2]) / ("view" + std::to_string(i + 1) + (options.png ? ".png" : ".jpg"))).string();
            const double gain = i % 2 == 1 ? options.gain : 1.0;
            if (tp::WriteImage(Render(photo, views[static_cast<std::size_t>(i)], width, height, gain, options.noise, rng), path) != 0) {
                std::fprintf(stderr, "%s: write failure\n", path.c_str());
                return 1;
            }
            std::printf("view %s", path.c_str());
            PrintMatrix(views[static_cast<std::size_t>(i)]);
        }
        for (int i = 0; i + 1 < count; ++i) {
            tp::Matrix pair = tp::Inverse(views[static_cast<std::size_t>(i) + 1]) * views[static_cast<std::size_t>(i)];
            const double k = pair[2][2];
            for (int e = 0; e < 9; ++e) pair.data()[e] /= k;
            std::printf("pair %d", i);
            PrintMatrix(pair);
        }
        return 0;
    }
}
