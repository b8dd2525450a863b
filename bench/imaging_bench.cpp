// Speed of the imaging toolkit's hot paths. The JPEG figures are the floor for everything that loads
// sources: LoadFitted should cost little more than the decode it starts with.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "imaging/codecs.h"
#include "imaging/fft2d.h"
#include "imaging/image_file.h"
#include "imaging/image_ops.h"

namespace tp {
namespace {

// A photograph-like 4000 x 3000 picture: smooth gradients, edges and mild noise, written once as a quality-75
// JPEG in the temporary folder.
const std::string& LargeJpegPath()
{
    static const std::string path = [] {
        const std::string file = (std::filesystem::temp_directory_path() / "tp-bench-4000x3000.jpg").string();
        if (std::filesystem::exists(file)) return file;
        ColorImage image(4000, 3000);
        std::mt19937 rng(11);
        std::uniform_int_distribution<int> noise(-6, 6);
        for (int y = 0; y < 3000; ++y)
            for (int x = 0; x < 4000; ++x) {
                const double wave = 60 * std::sin(x * 0.013) * std::cos(y * 0.021);
                const int edge = ((x / 160 + y / 120) % 2) * 50;
                for (int c = 0; c < 3; ++c) {
                    const int v = 90 + c * 30 + static_cast<int>(wave) + edge + noise(rng);
                    image.at(x, y, c) = static_cast<std::uint8_t>(std::clamp(v, 0, 255));
                }
            }
        WriteJpeg(image, file, 75);
        return file;
    }();
    return path;
}

GrayImage TexturedGray(int width, int height)
{
    GrayImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.at(x, y) = static_cast<std::uint8_t>((x * 7 + y * 13 + x * y) % 256);
    return image;
}

void BM_ReadImageJpeg4000x3000(benchmark::State& state)
{
    const std::string& path = LargeJpegPath();
    for (auto _ : state) {
        ColorImage image;
        benchmark::DoNotOptimize(ReadImage(image, path));
    }
}
BENCHMARK(BM_ReadImageJpeg4000x3000)->Unit(benchmark::kMillisecond);

void BM_LoadFittedJpeg4000x3000(benchmark::State& state)
{
    const std::string& path = LargeJpegPath();
    for (auto _ : state) {
        ColorImage image;
        benchmark::DoNotOptimize(LoadFitted(image, path, kWorkingBound, kWorkingBound));
    }
}
BENCHMARK(BM_LoadFittedJpeg4000x3000)->Unit(benchmark::kMillisecond);

// The same working image made the way LoadFitted did before it reduced while reading: the whole picture
// first, then reduced.
void BM_ReadWholeThenFitJpeg4000x3000(benchmark::State& state)
{
    const std::string& path = LargeJpegPath();
    for (auto _ : state) {
        ColorImage image;
        ReadImage(image, path);
        benchmark::DoNotOptimize(FitImage(std::move(image), kWorkingBound, kWorkingBound));
    }
}
BENCHMARK(BM_ReadWholeThenFitJpeg4000x3000)->Unit(benchmark::kMillisecond);

void BM_AreaResample4000x3000To1024x768(benchmark::State& state)
{
    ColorImage source;
    ReadImage(source, LargeJpegPath());
    ColorImage target(1024, 768);
    for (auto _ : state) AreaResample(source, target);
}
BENCHMARK(BM_AreaResample4000x3000To1024x768)->Unit(benchmark::kMillisecond);

void BM_GaussianSmooth1024x768(benchmark::State& state)
{
    const GrayImage image = TexturedGray(1024, 768);
    GrayImage out;
    for (auto _ : state) GaussianSmooth(image, 1.0f, out);
}
BENCHMARK(BM_GaussianSmooth1024x768)->Unit(benchmark::kMillisecond);

void BM_ReduceByTwo1024x768(benchmark::State& state)
{
    const GrayImage image = TexturedGray(1024, 768);
    GrayImage out;
    for (auto _ : state) ReduceByTwo(image, out);
}
BENCHMARK(BM_ReduceByTwo1024x768)->Unit(benchmark::kMillisecond);

void BM_FFT2DForward(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    ComplexImage input(n, n);
    std::mt19937 rng(5);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) input.real.at(x, y) = static_cast<float>(rng() % 256);
    ComplexImage output;
    for (auto _ : state) FFT2D(input, FftDirection::Forward, output);
}
BENCHMARK(BM_FFT2DForward)->Arg(256)->Arg(2048)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tp
