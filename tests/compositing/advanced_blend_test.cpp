#include <gtest/gtest.h>

#include "compositing/mosaic.h"
#include "mosaic_test_support.h"
#include "registration/homography.h"
#include "test_support.h"

namespace tp {
namespace {

void Link(Mosaic& m, int i, const Matrix& h) { StorePairResult(m.alignments(), i, h, Inverse(h), 1.0); }

// Views of one scene 60 pixels apart, as a panning camera takes them.
test::MemoryMosaic PanningViews(int count, int step = 60)
{
    const ColorImage scene = test::MakeScene(200 + step * count, 160, 31);
    std::vector<ColorImage> views;
    for (int i = 0; i < count; ++i)
        views.push_back(test::RenderView(scene, TranslationHomography(100 + step * i, 80), 120, 90));
    test::MemoryMosaic m = test::MakeMemoryMosaic(views);
    for (int i = 0; i + 1 < count; ++i) Link(*m.mosaic, i, TranslationHomography(-step, 0));
    return m;
}

TEST(AdvancedBlendTest, JoinsEverySourceAndReportsOneStepPlusSixteenPerSource)
{
    test::MemoryMosaic m = PanningViews(3);
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    test::RecordingProgress progress;
    ASSERT_TRUE(m.mosaic->Blend(BlendType::Advanced, progress));
    EXPECT_EQ(progress.texts, (std::vector<int>{35308}));
    EXPECT_EQ(progress.ranges, (std::vector<int>{1 + 16 * 2}));
    EXPECT_EQ(progress.steps, 1 + 16 * 2);
    // Every source's interior is painted, and where the views agree the result agrees with them.
    const ColorImage& canvas = m.mosaic->planar();
    const PointI o = m.mosaic->canvas_offset();
    ColorImage view;
    m.mosaic->LoadWorkingImage(2, view);
    int close = 0, total = 0;
    for (int y = 10; y < 80; ++y)
        for (int x = 10; x < 110; ++x) {
            const int cx = o.x + 60 + x - 60, cy = o.y + y - 45;
            ASSERT_FALSE(canvas.at(cx, cy, 0) == 0 && canvas.at(cx, cy, 1) == 0 && canvas.at(cx, cy, 2) == 0);
            close += std::abs(canvas.at(cx, cy, 1) - view.at(x, y, 1)) <= 3;
            ++total;
        }
    EXPECT_GT(close, total * 9 / 10);
    EXPECT_FALSE(m.mosaic->cylindrical().empty());
}

TEST(AdvancedBlendTest, ASourceInsideThePaintedCanvasIsSkippedButSendsItsSteps)
{
    // Source 1 shows the middle of the reference at twice the scale: its four inner corners land on
    // painted pixels.
    test::MemoryMosaic m = test::MakeMemoryMosaic({test::NoiseImage(80, 60, 1), test::NoiseImage(80, 60, 2)});
    Matrix twice = Matrix::Identity(3);
    twice[0][0] = twice[1][1] = 2.0;
    Link(*m.mosaic, 0, twice);
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    test::RecordingProgress progress;
    ASSERT_TRUE(m.mosaic->Blend(BlendType::Advanced, progress));
    EXPECT_EQ(progress.steps, 17);
    ColorImage reference;
    m.mosaic->LoadWorkingImage(0, reference);
    const PointI o = m.mosaic->canvas_offset();
    // Nothing of source 1 reached the canvas: it still shows the reference (bilinear at integer positions).
    EXPECT_EQ(m.mosaic->planar().at(o.x + 5, o.y + 5, 1), std::max<int>(1, reference.at(45, 35, 1)));
}

TEST(AdvancedBlendTest, ABrokenChainEndsCompositingAtItsPositionAndStillSucceeds)
{
    test::MemoryMosaic m = PanningViews(4);
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    ClearPairResult(m.mosaic->alignments(), 2);
    m.mosaic->ChainToReference();
    m.mosaic->ComputeStitchingOrder();
    ASSERT_EQ(m.mosaic->reference(), 1);
    // Order 1, 0, 2, 3: source 3 lost its chain, so 1, 0 and 2 are joined.
    EXPECT_EQ(m.mosaic->ChainedSourcesAfterReference(), 2);
    test::RecordingProgress progress;
    ASSERT_TRUE(m.mosaic->Blend(BlendType::Advanced, progress));
    EXPECT_EQ(progress.steps, 1 + 16 * 2);
    const PointI o = m.mosaic->canvas_offset();
    const std::uint8_t* far_right = m.mosaic->planar().pixel(o.x + 120 + 40, o.y);
    EXPECT_TRUE(far_right[0] == 0 && far_right[1] == 0 && far_right[2] == 0);
}

TEST(AdvancedBlendTest, CancellingStopsAtTheNextStep)
{
    test::MemoryMosaic m = PanningViews(3);
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    for (int cancel_at : {2, 9, 17, 33}) {
        test::RecordingProgress progress(cancel_at);
        EXPECT_FALSE(m.mosaic->Blend(BlendType::Advanced, progress)) << cancel_at;
        EXPECT_EQ(progress.steps, cancel_at);
    }
    test::RecordingProgress too_late(34);
    EXPECT_TRUE(m.mosaic->Blend(BlendType::Advanced, too_late));
}

TEST(AdvancedBlendTest, SeamsHideAnExposureStepThatBasicBlendingShows)
{
    // The second view is 30 % brighter: basic blending leaves its outline as a step inside the overlap.
    test::MemoryMosaic m = PanningViews(2);
    ColorImage brighter;
    m.mosaic->LoadWorkingImage(1, brighter);
    for (int y = 0; y < brighter.height(); ++y)
        for (int x = 0; x < brighter.width(); ++x)
            for (int c = 0; c < 3; ++c) brighter.at(x, y, c) = static_cast<std::uint8_t>(std::min(255, brighter.at(x, y, c) * 13 / 10));
    m.images->Put("1", brighter);
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    test::RecordingProgress progress;
    // The step across the left outline of source 1 (canvas column of its left edge, two pixels in).
    auto step_at_outline = [&] {
        const ColorImage& canvas = m.mosaic->planar();
        const PointI o = m.mosaic->canvas_offset();
        const int x = o.x + 60 - 60 + 2;
        long sum = 0;
        for (int y = o.y - 30; y < o.y + 30; ++y) sum += std::abs(canvas.at(x, y, 1) - canvas.at(x - 2, y, 1));
        return sum;
    };
    ASSERT_TRUE(m.mosaic->Blend(BlendType::Basic, progress));
    const long basic = step_at_outline();
    ASSERT_TRUE(m.mosaic->Blend(BlendType::Advanced, progress));
    const long advanced = step_at_outline();
    EXPECT_LT(advanced, basic);
}

}  // namespace
}  // namespace tp
