// Exposure compensation: views of one scene taken at different brightness get gains that undo the
// difference, and the flat sky of the blended result shows no band.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "compositing/block_gains.h"
#include "compositing/exposure_gains.h"
#include "compositing/mosaic.h"
#include "imaging/parallel.h"
#include "imaging/pixel.h"
#include "mosaic_test_support.h"
#include "registration/homography.h"

namespace tp {
namespace {

constexpr int kWidth = 160, kHeight = 120, kStep = 100;
constexpr int kSkyRows = 90;  // scene rows above this are a flat sky

// A flat sky over textured ground, both dark enough that no view clips at gain 1.2.
ColorImage SkyOverGround()
{
    const ColorImage texture = test::MakeScene(200 + kStep * 3, 200, 7);
    ColorImage scene(texture.width(), texture.height());
    const std::uint8_t sky[3] = {180, 160, 130};
    for (int y = 0; y < scene.height(); ++y)
        for (int x = 0; x < scene.width(); ++x)
            for (int c = 0; c < 3; ++c)
                scene.at(x, y, c) = y < kSkyRows ? sky[c] : static_cast<std::uint8_t>(40 + texture.at(x, y, c) * 160 / 255);
    return scene;
}

// Three panning views, the brightness of view i multiplied by gains[i], placed by their true homographies.
test::MemoryMosaic GainViews(const std::array<double, 3>& gains)
{
    const ColorImage scene = SkyOverGround();
    std::vector<ColorImage> views;
    for (int i = 0; i < 3; ++i) {
        ColorImage view = test::RenderView(scene, TranslationHomography(100 + kStep * i, 100), kWidth, kHeight);
        for (int y = 0; y < view.height(); ++y)
            for (int x = 0; x < view.width(); ++x)
                for (int c = 0; c < 3; ++c)
                    view.at(x, y, c) = static_cast<std::uint8_t>(std::min(255.0, view.at(x, y, c) * gains[static_cast<std::size_t>(i)] + 0.5));
        views.push_back(std::move(view));
    }
    test::MemoryMosaic m = test::MakeMemoryMosaic(views);
    for (int i = 0; i < 2; ++i) {
        const Matrix h = TranslationHomography(-kStep, 0);
        StorePairResult(m.mosaic->alignments(), i, h, Inverse(h), 1.0);
    }
    EXPECT_TRUE(m.mosaic->UpdateGeometry());
    return m;
}

// The largest spread of any channel along the sky rows of the canvas (view rows 15 to 35), empty pixels
// left out: 0 for a sky without bands.
int SkySpread(const Mosaic& mosaic)
{
    const ColorImage& canvas = mosaic.planar();
    int spread = 0;
    for (int y = mosaic.canvas_offset().y - kHeight / 2 + 15; y <= mosaic.canvas_offset().y - kHeight / 2 + 35; ++y)
        for (int c = 0; c < 3; ++c) {
            int low = 255, high = 0;
            for (int x = 0; x < canvas.width(); ++x) {
                const std::uint8_t* p = canvas.pixel(x, y);
                if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;
                low = std::min<int>(low, p[c]);
                high = std::max<int>(high, p[c]);
            }
            spread = std::max(spread, high - low);
        }
    return spread;
}

bool SameBytes(const ColorImage& a, const ColorImage& b)
{
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.row(y), b.row(y), 3 * static_cast<std::size_t>(a.width())) != 0) return false;
    return true;
}

TEST(ExposureGainsTest, GainsUndoTheBrightnessOfEachView)
{
    const std::array<double, 3> cases[] = {{0.8, 1.0, 1.2}, {1.2, 0.8, 1.0}, {1.0, 1.0, 1.0}};
    for (const auto& truth : cases) {
        test::MemoryMosaic m = GainViews(truth);
        const std::vector<ChannelGains> gains = EstimateExposure(*m.mosaic).gains;
        ASSERT_EQ(gains.size(), 3u);
        // Each view times its gain should give the same brightness; only that common level is free.
        double level = 0;
        for (std::size_t i = 0; i < 3; ++i) level += gains[i][1] * truth[i] / 3;
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(gains[i][1] * truth[i] / level, 1.0, 0.02) << "view " << i << " of " << truth[0] << " " << truth[1] << " " << truth[2];
            EXPECT_EQ(gains[i][0], gains[i][1]);  // one gain for all channels
            EXPECT_EQ(gains[i][2], gains[i][1]);
        }
    }
}

TEST(ExposureGainsTest, TheSkyShowsABandWithoutCompensationAndNoneWithIt)
{
    for (const BlendType type : {BlendType::Basic, BlendType::Advanced}) {
        test::MemoryMosaic m = GainViews({0.8, 1.0, 1.2});
        test::RecordingProgress progress;
        ASSERT_TRUE(m.mosaic->Blend(type, progress));
        EXPECT_GT(SkySpread(*m.mosaic), 20) << "blend type " << static_cast<int>(type);
        m.mosaic->set_exposure_compensation(true);
        ASSERT_TRUE(m.mosaic->Blend(type, progress));
        EXPECT_EQ(m.mosaic->exposure_gains().size(), 3u);
        EXPECT_LE(SkySpread(*m.mosaic), 2) << "blend type " << static_cast<int>(type);
    }
}

// Views that each brighten from left to right by half (as a sky does towards the sun), which no single gain
// per view can undo: where the band-by-band merge of two views ends, the sky's columns step, unless the gains
// vary over each view.
TEST(ExposureGainsTest, BlockGainsEvenOutVignettingAcrossTheSky)
{
    constexpr int kW = 480, kH = 360, kPan = 300, kRise = 40;
    const ColorImage texture = test::MakeScene(kW + 2 * kPan + 200, kH + 200, 11);
    ColorImage scene(texture.width(), texture.height());
    for (int y = 0; y < scene.height(); ++y)
        for (int x = 0; x < scene.width(); ++x)
            for (int c = 0; c < 3; ++c)
                scene.at(x, y, c) = y < 280 ? static_cast<std::uint8_t>(180 - 20 * c) : static_cast<std::uint8_t>(40 + texture.at(x, y, c) * 160 / 255);
    std::vector<ColorImage> views;
    for (int i = 0; i < 3; ++i) {
        ColorImage view = test::RenderView(scene, TranslationHomography(100 + kW / 2 + kPan * i, 280 - kRise * i), kW, kH);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                for (int c = 0; c < 3; ++c) view.at(x, y, c) = static_cast<std::uint8_t>(view.at(x, y, c) * (0.8 + 0.4 * x / kW) + 0.5);
        views.push_back(std::move(view));
    }
    test::MemoryMosaic m = test::MakeMemoryMosaic(views);
    for (int i = 0; i < 2; ++i) {
        const Matrix h = TranslationHomography(-kPan, kRise);
        StorePairResult(m.mosaic->alignments(), i, h, Inverse(h), 1.0);
    }
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    // Along the sky rows near the top of the lowest view, the column means: how far they go up and down
    // beyond their net change (a band shows as a rise and a fall), and their largest step between
    // neighbouring columns.
    struct Profile {
        double excess = 0, step = 0;
    };
    const auto sky_profile = [&](const Mosaic& mosaic) {
        const ColorImage& canvas = mosaic.planar();
        const int top = mosaic.canvas_offset().y - kH / 2 + 2 * kRise + 10;
        std::vector<double> means;
        for (int x = 0; x < canvas.width(); ++x) {
            double sum = 0;
            int count = 0;
            for (int y = top; y < top + 40; ++y)
                if (!IsEmptyPixel(canvas.pixel(x, y))) {
                    sum += canvas.at(x, y, 0) + canvas.at(x, y, 1) + canvas.at(x, y, 2);
                    ++count;
                }
            if (count == 40) means.push_back(sum / 120.0);
        }
        Profile p;
        for (std::size_t x = 1; x < means.size(); ++x) {
            p.excess += std::abs(means[x] - means[x - 1]);
            p.step = std::max(p.step, std::abs(means[x] - means[x - 1]));
        }
        p.excess -= std::abs(means.back() - means.front());
        return p;
    };
    test::RecordingProgress progress;
    ASSERT_TRUE(m.mosaic->Blend(BlendType::Advanced, progress));
    const Profile without = sky_profile(*m.mosaic);
    m.mosaic->set_exposure_compensation(true);
    ASSERT_TRUE(m.mosaic->Blend(BlendType::Advanced, progress));
    const Profile with = sky_profile(*m.mosaic);
    // The excess left is the rounding of a thousand columns' means; a band is a hundred grey levels of it.
    EXPECT_GT(without.excess, 60.0);
    EXPECT_LT(with.excess, 20.0);
    EXPECT_LE(with.step, 2.0);
}

TEST(ExposureGainsTest, OffByDefaultAndOffAgainPaintsTheWorkingImagesAsTheyAre)
{
    for (const BlendType type : {BlendType::Basic, BlendType::Advanced}) {
        test::MemoryMosaic never = GainViews({0.8, 1.0, 1.2});
        test::MemoryMosaic again = GainViews({0.8, 1.0, 1.2});
        EXPECT_FALSE(never.mosaic->exposure_compensation());
        test::RecordingProgress progress;
        ASSERT_TRUE(never.mosaic->Blend(type, progress));
        EXPECT_TRUE(never.mosaic->exposure_gains().empty());
        again.mosaic->set_exposure_compensation(true);
        ASSERT_TRUE(again.mosaic->Blend(type, progress));
        again.mosaic->set_exposure_compensation(false);
        ASSERT_TRUE(again.mosaic->Blend(type, progress));
        EXPECT_TRUE(again.mosaic->exposure_gains().empty());
        EXPECT_TRUE(SameBytes(never.mosaic->planar(), again.mosaic->planar())) << "blend type " << static_cast<int>(type);
    }
}

TEST(ExposureGainsTest, TheThreadCountChangesNoByte)
{
    struct Result {
        std::vector<ChannelGains> gains;
        ColorImage basic, advanced;
    };
    auto run = [](int threads) {
        SetWorkerThreads(threads);
        test::MemoryMosaic m = GainViews({0.8, 1.0, 1.2});
        m.mosaic->set_exposure_compensation(true);
        test::RecordingProgress progress;
        Result r;
        EXPECT_TRUE(m.mosaic->Blend(BlendType::Basic, progress));
        r.basic = m.mosaic->planar();
        EXPECT_TRUE(m.mosaic->Blend(BlendType::Advanced, progress));
        r.advanced = m.mosaic->planar();
        r.gains = m.mosaic->exposure_gains();
        SetWorkerThreads(0);
        return r;
    };
    const Result one = run(1), three = run(3);
    ASSERT_EQ(one.gains.size(), three.gains.size());
    EXPECT_EQ(std::memcmp(one.gains.data(), three.gains.data(), one.gains.size() * sizeof(ChannelGains)), 0);
    EXPECT_TRUE(SameBytes(one.basic, three.basic));
    EXPECT_TRUE(SameBytes(one.advanced, three.advanced));
}

TEST(ExposureGainsTest, ASourceWithoutOverlapsKeepsGainOne)
{
    // Sources 0 and 1 overlap, 1 a quarter brighter; source 2 overlaps nothing.
    PairOverlap overlap;
    overlap.first = 0;
    overlap.second = 1;
    overlap.pixels = 1000;
    overlap.first_sums = {100000, 100000, 100000};
    overlap.second_sums = {125000, 125000, 125000};
    const std::vector<ChannelGains> gains = SolveGains(3, {overlap});
    EXPECT_NEAR(gains[0][0] * 100 / (gains[1][0] * 125), 1.0, 0.005);
    EXPECT_EQ(gains[2][0], 1.0);
}

TEST(ExposureGainsTest, ApplyingGainsRoundsSaturatesAndNeverEmptiesAPixel)
{
    struct Case {
        double gain;
        std::uint8_t in, out;
    };
    const Case cases[] = {{0.8, 100, 80}, {0.8, 0, 0}, {0.1, 3, 1}, {1.2, 250, 255}, {1.25, 1, 1}, {1.25, 2, 3}};
    for (const Case& c : cases) {
        ColorImage image(1, 1);
        image.at(0, 0, 2) = c.in;
        const ColorImage out = ApplyGainField(image, {1.0, 1.0, c.gain}, GainGrid(1, 1, 1, 1), 1, 1);
        EXPECT_EQ(out.at(0, 0, 2), c.out) << c.gain << " x " << int(c.in);
        EXPECT_EQ(out.at(0, 0, 0), 0);  // an empty channel stays empty
    }
}

}  // namespace
}  // namespace tp
