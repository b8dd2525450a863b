// Results must not depend on how many threads do the work: every pixel of both wide-view images and every
// homography are compared byte for byte between a one-thread run and runs with more threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "compositing/mosaic.h"
#include "imaging/image_ops.h"
#include "imaging/parallel.h"
#include "mosaic_test_support.h"
#include "registration/homography.h"
#include "test_support.h"

namespace tp {
namespace {

struct RunResult {
    std::vector<Matrix> to_next;
    std::vector<Matrix> to_reference;
    ColorImage basic_planar;
    ColorImage basic_cylindrical;
    ColorImage finalized_planar;
    ColorImage realigned_planar;
    ColorImage realigned_cylindrical;
};

RunResult RunPipeline(const std::vector<std::string>& paths, std::shared_ptr<WorkingImageSource> images, int threads)
{
    SetWorkerThreads(threads);
    RunResult result;
    ColorImage first;
    images->Load(paths.front(), first);
    Mosaic mosaic(MakeMosaicParameters(first.width(), first.height(), static_cast<int>(paths.size())), paths, images);
    NullProgress progress;
    EXPECT_TRUE(mosaic.RegisterAll(progress));
    EXPECT_TRUE(mosaic.Blend(BlendType::Basic, progress));
    result.basic_planar = mosaic.planar();
    result.basic_cylindrical = mosaic.cylindrical();
    EXPECT_TRUE(mosaic.Blend(BlendType::Advanced, progress));
    result.finalized_planar = mosaic.planar();
    mosaic.Realign(progress);
    EXPECT_TRUE(mosaic.Blend(BlendType::Advanced, progress));
    result.realigned_planar = mosaic.planar();
    result.realigned_cylindrical = mosaic.cylindrical();
    for (int i = 0; i < mosaic.source_count(); ++i) {
        result.to_next.push_back(mosaic.alignment(i).to_next);
        result.to_reference.push_back(mosaic.alignment(i).to_reference);
    }
    SetWorkerThreads(0);
    return result;
}

::testing::AssertionResult SameBytes(const ColorImage& a, const ColorImage& b)
{
    if (a.width() != b.width() || a.height() != b.height()) return ::testing::AssertionFailure() << "sizes differ";
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.row(y), b.row(y), 3 * static_cast<std::size_t>(a.width())) != 0)
            return ::testing::AssertionFailure() << "row " << y << " differs";
    return ::testing::AssertionSuccess();
}

void ExpectIdentical(const RunResult& one, const RunResult& many)
{
    ASSERT_EQ(one.to_next.size(), many.to_next.size());
    for (std::size_t i = 0; i < one.to_next.size(); ++i) {
        EXPECT_EQ(std::memcmp(one.to_next[i].data(), many.to_next[i].data(), 9 * sizeof(double)), 0) << "to-next " << i;
        EXPECT_EQ(std::memcmp(one.to_reference[i].data(), many.to_reference[i].data(), 9 * sizeof(double)), 0) << "to-reference " << i;
    }
    EXPECT_TRUE(SameBytes(one.basic_planar, many.basic_planar)) << "basic planar";
    EXPECT_TRUE(SameBytes(one.basic_cylindrical, many.basic_cylindrical)) << "basic cylindrical";
    EXPECT_TRUE(SameBytes(one.finalized_planar, many.finalized_planar)) << "finalized planar";
    EXPECT_TRUE(SameBytes(one.realigned_planar, many.realigned_planar)) << "re-aligned planar";
    EXPECT_TRUE(SameBytes(one.realigned_cylindrical, many.realigned_cylindrical)) << "re-aligned cylindrical";
}

TEST(ThreadInvarianceTest, SyntheticViewsGiveIdenticalResultsForAnyThreadCount)
{
    const ColorImage scene = test::MakeScene(900, 420, 23);
    auto images = std::make_shared<test::MemoryWorkingImages>();
    std::vector<std::string> paths;
    for (int i = 0; i < 4; ++i) {
        Matrix h = Matrix::Identity(3);
        h[0][2] = 170 + 150 * i;
        h[1][2] = 210;
        h[2][0] = 2e-4 * (i - 1.5);  // a little perspective, so that every stage has real work
        paths.push_back(std::to_string(i));
        images->Put(paths.back(), test::RenderView(scene, h, 320, 240));
    }
    const RunResult one = RunPipeline(paths, images, 1);
    ExpectIdentical(one, RunPipeline(paths, images, 2));
    ExpectIdentical(one, RunPipeline(paths, images, 3));
}

TEST(ThreadInvarianceTest, ARealSetGivesIdenticalResultsForAnyThreadCount)
{
    const std::vector<std::string> paths = test::PanoramaSet("parrington");
    if (paths.empty()) GTEST_SKIP() << "photo set not present";
    auto images = std::make_shared<WorkingImageCache>();
    const RunResult one = RunPipeline(paths, images, 1);
    ExpectIdentical(one, RunPipeline(paths, images, 0));
}

}  // namespace
}  // namespace tp
