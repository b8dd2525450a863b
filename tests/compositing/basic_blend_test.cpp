#include <gtest/gtest.h>

#include "compositing/mosaic.h"
#include "mosaic_test_support.h"
#include "registration/homography.h"
#include "test_support.h"

namespace tp {
namespace {

void Link(Mosaic& m, int i, const Matrix& h) { StorePairResult(m.alignments(), i, h, Inverse(h), 1.0); }

ColorImage Uniform(int w, int h, std::uint8_t b, std::uint8_t g, std::uint8_t r)
{
    return test::MakeColorImage(w, h, [&](int, int, int c) { return c == 0 ? b : c == 1 ? g : r; });
}

bool IsEmpty(const ColorImage& image, int x, int y)
{
    const std::uint8_t* p = image.pixel(x, y);
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

TEST(BasicBlendTest, ASinglyCoveredPixelTakesTheSourceSampleExactly)
{
    const ColorImage source = test::NoiseImage(40, 30, 3);
    test::MemoryMosaic m = test::MakeMemoryMosaic({source});
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    test::RecordingProgress progress;
    ASSERT_TRUE(m.mosaic->Blend(BlendType::Basic, progress));
    EXPECT_EQ(progress.texts, (std::vector<int>{35307}));
    EXPECT_EQ(progress.ranges, (std::vector<int>{1}));
    EXPECT_EQ(progress.steps, 1);
    const PointI o = m.mosaic->canvas_offset();
    for (int y = 2; y < 28; ++y)
        for (int x = 2; x < 38; ++x) {
            const std::uint8_t* s = source.pixel(x, y);
            const std::uint8_t* c = m.mosaic->planar().pixel(x - 20 + o.x, y - 15 + o.y);
            if (s[0] == 0 && s[1] == 0 && s[2] == 0) continue;
            ASSERT_EQ(std::vector<int>(c, c + 3), std::vector<int>(s, s + 3)) << x << "," << y;
        }
}

TEST(BasicBlendTest, TheOuterTwoPixelsOfASourceNeverReachTheCanvas)
{
    test::MemoryMosaic m = test::MakeMemoryMosaic({Uniform(40, 30, 10, 20, 30)});
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    test::RecordingProgress progress;
    ASSERT_TRUE(m.mosaic->Blend(BlendType::Basic, progress));
    const PointI o = m.mosaic->canvas_offset();
    const ColorImage& canvas = m.mosaic->planar();
    EXPECT_TRUE(IsEmpty(canvas, o.x - 20 + 1, o.y));
    EXPECT_FALSE(IsEmpty(canvas, o.x - 20 + 2, o.y));
    EXPECT_FALSE(IsEmpty(canvas, o.x + 20 - 3, o.y));
    EXPECT_TRUE(IsEmpty(canvas, o.x + 20 - 2, o.y));
    EXPECT_TRUE(IsEmpty(canvas, o.x, o.y - 15 + 1));
    EXPECT_TRUE(IsEmpty(canvas, o.x, o.y + 15 - 2));
}

TEST(BasicBlendTest, BlackIsWrittenAsGreenOneAndNeverReadsAsEmpty)
{
    test::MemoryMosaic m = test::MakeMemoryMosaic({Uniform(20, 20, 0, 0, 0)});
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    test::RecordingProgress progress;
    ASSERT_TRUE(m.mosaic->Blend(BlendType::Basic, progress));
    const PointI o = m.mosaic->canvas_offset();
    const std::uint8_t* p = m.mosaic->planar().pixel(o.x, o.y);
    EXPECT_EQ(p[0], 0);
    EXPECT_EQ(p[1], 1);
    EXPECT_EQ(p[2], 0);
}

TEST(BasicBlendTest, OverlapsAverageByCentreWeights)
{
    // Two coinciding sources: the centre pixel gets weight 10 from each, so the result is the plain mean.
    test::MemoryMosaic m = test::MakeMemoryMosaic({Uniform(40, 40, 100, 100, 100), Uniform(40, 40, 201, 50, 0)});
    Link(*m.mosaic, 0, Matrix::Identity(3));
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    test::RecordingProgress progress;
    ASSERT_TRUE(m.mosaic->Blend(BlendType::Basic, progress));
    const PointI o = m.mosaic->canvas_offset();
    const std::uint8_t* p = m.mosaic->planar().pixel(o.x, o.y);
    EXPECT_EQ(p[0], 150);  // (201 * 10 + 100 * 10) / 20
    EXPECT_EQ(p[1], 75);
    EXPECT_EQ(p[2], 50);
}

TEST(BasicBlendTest, MoreThanTwentyFiveCoveringSourcesNeitherWrapNorDivideByZero)
{
    // Twenty-six sources of 100 and then four of 250, all on one spot. A byte-wide weight sum would wrap after
    // the twenty-sixth (260 -> 4) and let the last sources dominate; with the sum kept, the late sources
    // weigh 10 against more than 250.
    std::vector<ColorImage> sources(26, Uniform(20, 20, 100, 80, 60));
    for (int i = 0; i < 4; ++i) sources.push_back(Uniform(20, 20, 250, 80, 60));
    test::MemoryMosaic m = test::MakeMemoryMosaic(sources);
    for (int i = 0; i + 1 < 30; ++i) Link(*m.mosaic, i, Matrix::Identity(3));
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    test::RecordingProgress progress;
    ASSERT_TRUE(m.mosaic->Blend(BlendType::Basic, progress));
    const PointI o = m.mosaic->canvas_offset();
    const std::uint8_t* p = m.mosaic->planar().pixel(o.x, o.y);
    // Exactly: 100 -> (2500 + 100 * 260) / 270 = 105 -> (2500 + 105 * 270) / 280 = 110 -> 114 -> 118.
    EXPECT_EQ(p[0], 118);
    EXPECT_EQ(p[1], 80);
    EXPECT_EQ(p[2], 60);
}

TEST(BasicBlendTest, SourcesWithABrokenChainArePaintedWithTheirLastTransforms)
{
    test::MemoryMosaic m = test::MakeMemoryMosaic({Uniform(40, 30, 50, 50, 50), Uniform(40, 30, 200, 200, 200)});
    Link(*m.mosaic, 0, TranslationHomography(-30, 0));
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    ClearPairResult(m.mosaic->alignments(), 0);
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    EXPECT_EQ(m.mosaic->alignment(1).in_chain, 0);
    test::RecordingProgress progress;
    ASSERT_TRUE(m.mosaic->Blend(BlendType::Basic, progress));
    // Source 1 still sits 30 pixels to the right of source 0.
    const PointI o = m.mosaic->canvas_offset();
    EXPECT_EQ(m.mosaic->planar().at(o.x + 30 + 10, o.y, 0), 200);
}

TEST(BasicBlendTest, AnUnreadableSourceContributesNothing)
{
    test::MemoryMosaic m = test::MakeMemoryMosaic({Uniform(40, 30, 50, 50, 50), Uniform(40, 30, 200, 200, 200)});
    Link(*m.mosaic, 0, TranslationHomography(-30, 0));
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    m.images->Remove("1");
    test::RecordingProgress progress;
    ASSERT_TRUE(m.mosaic->Blend(BlendType::Basic, progress));
    EXPECT_EQ(progress.steps, 2);
    const PointI o = m.mosaic->canvas_offset();
    EXPECT_TRUE(IsEmpty(m.mosaic->planar(), o.x + 30 + 15, o.y));
    EXPECT_EQ(m.mosaic->planar().at(o.x + 5, o.y, 0), 50);
}

TEST(BasicBlendTest, CancellingStopsAfterTheCurrentSourceAndKeepsTheOldCylinder)
{
    test::MemoryMosaic m = test::MakeMemoryMosaic(std::vector<ColorImage>(3, Uniform(40, 30, 90, 90, 90)));
    Link(*m.mosaic, 0, TranslationHomography(-20, 0));
    Link(*m.mosaic, 1, TranslationHomography(-20, 0));
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    test::RecordingProgress cancel_at_first(1);
    EXPECT_FALSE(m.mosaic->Blend(BlendType::Basic, cancel_at_first));
    EXPECT_EQ(cancel_at_first.steps, 1);
    EXPECT_TRUE(m.mosaic->cylindrical().empty());
    EXPECT_FALSE(m.mosaic->planar().empty());
}

}  // namespace
}  // namespace tp
