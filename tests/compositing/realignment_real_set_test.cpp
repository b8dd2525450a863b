// Re-alignment on a real photo set (skipped when the sets are not on this machine): after registration, the
// re-aligned sources must agree with their neighbours at least as well as registration left them.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "compositing/mosaic.h"
#include "imaging/image_ops.h"
#include "mosaic_test_support.h"
#include "overlap_consistency.h"
#include "test_support.h"

namespace tp {
namespace {

// Zero-mean correlation over the overlap of sources i and i + 1 as the mosaic now places them.
double PlacedPairCorrelation(Mosaic& mosaic, int i)
{
    ColorImage a, b;
    mosaic.LoadWorkingImage(i, a);
    mosaic.LoadWorkingImage(i + 1, b);
    const Matrix a_to_b = mosaic.alignment(i + 1).from_reference * mosaic.alignment(i).to_reference;
    return test::MeasureOverlap(ToGray(a), ToGray(b), a_to_b).correlation;
}

class RealignRealSet : public ::testing::TestWithParam<std::string> {};

TEST_P(RealignRealSet, CompletesKeepsNeighboursInAgreementAndLeavesAnEmptyCanvas)
{
    const std::vector<std::string> paths = test::PanoramaSet(GetParam());
    if (paths.empty()) GTEST_SKIP() << "photo set not present";
    ColorImage first;
    ASSERT_TRUE(LoadFitted(first, paths.front(), kWorkingBound, kWorkingBound));
    Mosaic mosaic(MakeMosaicParameters(first.width(), first.height(), static_cast<int>(paths.size())), paths);
    NullProgress quiet;
    ASSERT_TRUE(mosaic.RegisterAll(quiet));
    std::vector<double> before;
    for (int i = 0; i + 1 < mosaic.source_count(); ++i) before.push_back(PlacedPairCorrelation(mosaic, i));

    test::RecordingProgress progress;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(mosaic.Realign(progress));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    RecordProperty("realign_seconds", std::to_string(seconds));
    std::cout << GetParam() << ": re-aligned in " << seconds << " s\n";

    EXPECT_EQ(progress.texts, (std::vector<int>{35309, 35310}));
    EXPECT_TRUE(mosaic.canvas_allocated());
    EXPECT_TRUE(mosaic.geometry_valid());
    EXPECT_FALSE(mosaic.planar().empty());
    for (int i = 0; i + 1 < mosaic.source_count(); ++i) {
        const double after = PlacedPairCorrelation(mosaic, i);
        std::cout << "  pair " << i << ": " << before[static_cast<std::size_t>(i)] << " -> " << after << "\n";
        EXPECT_GE(after, before[static_cast<std::size_t>(i)] - 0.02) << "pair " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Sets, RealignRealSet, ::testing::Values("arches_rocks", "cathedral_indoor"));

}  // namespace
}  // namespace tp
