// Helpers shared by the test suites: scratch folders, data locations and an image comparison that names the
// first differing pixel.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "imaging/image_buffer.h"

namespace tp::test {

// A fresh folder under the system's temporary folder, removed with everything in it at the end of the test.
class ScratchDir {
public:
    ScratchDir()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "tp-test-";
        if (info) name += std::string(info->test_suite_name()) + "-" + info->name() + "-";
        std::random_device seed;
        name += std::to_string(seed());
        for (char& c : name)
            if (c == '/') c = '_';
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline std::string TestDataDir() { return TP_TEST_DATA_DIR; }

// The real photo sets; empty when they are not present on this machine.
inline std::string PanoramaDir()
{
    if (const char* env = std::getenv("TP_PANORAMAS")) return env;
    const std::string compiled = TP_PANORAMA_DIR;
    return std::filesystem::is_directory(compiled) ? compiled : std::string();
}

// The photos of one real set in name order (the sets' stitching order); empty when the set is not present.
inline std::vector<std::string> PanoramaSet(const std::string& name)
{
    std::vector<std::string> paths;
    if (PanoramaDir().empty()) return paths;
    const std::filesystem::path set = std::filesystem::path(PanoramaDir()) / name;
    if (!std::filesystem::is_directory(set)) return paths;
    for (const auto& entry : std::filesystem::directory_iterator(set))
        if (entry.is_regular_file()) paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

inline std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A ColorImage with every pixel set by fn(x, y, channel).
template <typename Fn>
ColorImage MakeColorImage(int width, int height, Fn fn)
{
    ColorImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) image.at(x, y, c) = static_cast<std::uint8_t>(fn(x, y, c));
    return image;
}

// Pseudo-random but repeatable colours.
inline ColorImage NoiseImage(int width, int height, unsigned seed = 1)
{
    std::mt19937 rng(seed);
    return MakeColorImage(width, height, [&](int, int, int) { return rng() & 0xFF; });
}

// Soft colour gradients: what lossy codecs are made for, so round-trip errors stay small.
inline ColorImage SmoothPicture(int width, int height)
{
    return MakeColorImage(width, height, [](int x, int y, int c) {
        return static_cast<int>(128 + 90 * std::sin(0.13 * x + 1.7 * c) * std::cos(0.09 * y + 0.6 * c));
    });
}

// Mean absolute difference per sample of two images of one size.
inline double MeanError(const ColorImage& a, const ColorImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            for (int c = 0; c < 3; ++c) sum += std::abs(a.at(x, y, c) - b.at(x, y, c));
    return sum / (3.0 * a.width() * a.height());
}

// Equal sizes and every pixel within `tolerance` per channel; otherwise names the first bad pixel.
template <typename Image>
::testing::AssertionResult ImagesMatch(const Image& expected, const Image& actual, int tolerance = 0)
{
    if (expected.width() != actual.width() || expected.height() != actual.height())
        return ::testing::AssertionFailure() << "size " << actual.width() << "x" << actual.height() << ", expected "
                                             << expected.width() << "x" << expected.height();
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            for (int c = 0; c < Image::kChannels; ++c) {
                const double e = expected.at(x, y, c);
                const double a = actual.at(x, y, c);
                if (std::abs(e - a) > tolerance)
                    return ::testing::AssertionFailure() << "first differing pixel (" << x << ", " << y << ") channel "
                                                         << c << ": " << a << ", expected " << e;
            }
    return ::testing::AssertionSuccess();
}

}  // namespace tp::test
