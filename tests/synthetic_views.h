// Synthetic photographs for registration and compositing tests: a textured scene, and views of it through
// known homographies (as a camera that moves or turns would see it).
#pragma once

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <string>

#include "imaging/image_buffer.h"
#include "imaging/matrix.h"
#include "imaging/working_images.h"

namespace tp::test {

// Value noise summed over several scales, in colour: texture at every pyramid level.
inline ColorImage MakeScene(int width, int height, unsigned seed = 1)
{
    std::mt19937 rng(seed);
    ColorImage scene(width, height);
    std::vector<float> sum(static_cast<std::size_t>(width) * height * 3, 0.0f);
    const int scales[] = {97, 31, 11, 4};
    const float amplitudes[] = {70.0f, 45.0f, 30.0f, 18.0f};
    for (int s = 0; s < 4; ++s) {
        const int cell = scales[s];
        const int gw = width / cell + 2, gh = height / cell + 2;
        std::vector<float> grid(static_cast<std::size_t>(gw) * gh * 3);
        std::uniform_real_distribution<float> u(-1.0f, 1.0f);
        for (float& g : grid) g = u(rng);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const float fx = static_cast<float>(x) / cell, fy = static_cast<float>(y) / cell;
                const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
                const float tx = fx - ix, ty = fy - iy;
                for (int c = 0; c < 3; ++c) {
                    auto at = [&](int gx, int gy) { return grid[(static_cast<std::size_t>(gy) * gw + gx) * 3 + c]; };
                    const float v = (1 - ty) * ((1 - tx) * at(ix, iy) + tx * at(ix + 1, iy)) +
                                    ty * ((1 - tx) * at(ix, iy + 1) + tx * at(ix + 1, iy + 1));
                    sum[(static_cast<std::size_t>(y) * width + x) * 3 + c] += amplitudes[s] * v;
                }
            }
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) {
                const float v = 128.0f + sum[(static_cast<std::size_t>(y) * width + x) * 3 + c];
                scene.at(x, y, c) = static_cast<std::uint8_t>(std::clamp(v, 1.0f, 255.0f));
            }
    return scene;
}

// A w x h view: view pixel (x, y), in centred coordinates (x - w/2, y - h/2), maps through `view_to_scene` to a
// scene pixel position, sampled bilinearly (black outside the scene).
inline ColorImage RenderView(const ColorImage& scene, const Matrix& view_to_scene, int width, int height)
{
    ColorImage view(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double cx = x - width / 2, cy = y - height / 2;
            const double d = view_to_scene[2][0] * cx + view_to_scene[2][1] * cy + view_to_scene[2][2];
            const double sx = (view_to_scene[0][0] * cx + view_to_scene[0][1] * cy + view_to_scene[0][2]) / d;
            const double sy = (view_to_scene[1][0] * cx + view_to_scene[1][1] * cy + view_to_scene[1][2]) / d;
            const int ix = static_cast<int>(std::floor(sx)), iy = static_cast<int>(std::floor(sy));
            if (ix < 0 || iy < 0 || ix + 1 >= scene.width() || iy + 1 >= scene.height()) continue;
            const double tx = sx - ix, ty = sy - iy;
            for (int c = 0; c < 3; ++c) {
                const double v = (1 - ty) * ((1 - tx) * scene.at(ix, iy, c) + tx * scene.at(ix + 1, iy, c)) +
                                 ty * ((1 - tx) * scene.at(ix, iy + 1, c) + tx * scene.at(ix + 1, iy + 1, c));
                view.at(x, y, c) = static_cast<std::uint8_t>(v + 0.5);
            }
        }
    return view;
}

// Working images served from memory by name; unknown names read as unreadable files.
class MemoryWorkingImages final : public WorkingImageSource {
public:
    void Put(const std::string& path, ColorImage image) { images_[path] = std::make_shared<const ColorImage>(std::move(image)); }
    void Remove(const std::string& path) { images_.erase(path); }
    std::shared_ptr<const ColorImage> Share(const std::string& path) override
    {
        ++loads_;
        const auto it = images_.find(path);
        return it == images_.end() ? nullptr : it->second;
    }
    int loads() const { return loads_; }

private:
    std::map<std::string, std::shared_ptr<const ColorImage>> images_;
    int loads_ = 0;
};

// Corner displacement between two homographies over a w x h image in centred coordinates (exact halves):
// the largest distance between where the two map any corner.
inline double CornerError(const Matrix& a, const Matrix& b, int width, int height)
{
    const double hw = width * 0.5, hh = height * 0.5;
    const double corners[4][2] = {{-hw, -hh}, {hw, -hh}, {hw, hh}, {-hw, hh}};
    double worst = 0.0;
    for (const auto& c : corners) {
        auto map = [&](const Matrix& h, double& x, double& y) {
            const double d = h[2][0] * c[0] + h[2][1] * c[1] + h[2][2];
            x = (h[0][0] * c[0] + h[0][1] * c[1] + h[0][2]) / d;
            y = (h[1][0] * c[0] + h[1][1] * c[1] + h[1][2]) / d;
        };
        double ax, ay, bx, by;
        map(a, ax, ay);
        map(b, bx, by);
        worst = std::max(worst, std::hypot(ax - bx, ay - by));
    }
    return worst;
}

// The largest distance between where `h` and `truth` put A's pixels that the truth carries into B (images of
// w x h, centred coordinates), on an 8-pixel grid: the error that shows as a double edge in the panorama.
inline double OverlapError(const Matrix& h, const Matrix& truth, int width, int height)
{
    double worst = 0;
    for (int y = 0; y < height; y += 8)
        for (int x = 0; x < width; x += 8) {
            const double cx = x - width / 2, cy = y - height / 2;
            const double dt = truth[2][0] * cx + truth[2][1] * cy + truth[2][2];
            const double tx = (truth[0][0] * cx + truth[0][1] * cy + truth[0][2]) / dt;
            const double ty = (truth[1][0] * cx + truth[1][1] * cy + truth[1][2]) / dt;
            if (dt <= 0 || std::fabs(tx) > width / 2 || std::fabs(ty) > height / 2) continue;
            const double d = h[2][0] * cx + h[2][1] * cy + h[2][2];
            if (d <= 0) return 1e9;
            const double px = (h[0][0] * cx + h[0][1] * cy + h[0][2]) / d, py = (h[1][0] * cx + h[1][1] * cy + h[1][2]) / d;
            worst = std::max(worst, std::hypot(px - tx, py - ty));
        }
    return worst;
}

}  // namespace tp::test
