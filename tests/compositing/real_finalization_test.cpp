// Finalization on the real photo sets (skipped when they are not on this machine): advanced blending with
// and without re-alignment completes on every set, and its joins are less visible than basic blending's by
// the outline-step measure of seam_visibility.h.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "compositing/mosaic.h"
#include "imaging/image_file.h"
#include "imaging/image_ops.h"
#include "seam_visibility.h"
#include "test_support.h"

namespace tp {
namespace {

class RealFinalization : public ::testing::TestWithParam<std::string> {};

TEST_P(RealFinalization, AdvancedBlendingHidesTheJoinsBasicBlendingShows)
{
    const std::vector<std::string> paths = test::PanoramaSet(GetParam());
    if (paths.empty()) GTEST_SKIP() << "photo set not present";
    ColorImage first;
    ASSERT_TRUE(LoadFitted(first, paths.front(), kWorkingBound, kWorkingBound));
    Mosaic mosaic(MakeMosaicParameters(first.width(), first.height(), static_cast<int>(paths.size())), paths);
    NullProgress progress;
    ASSERT_TRUE(mosaic.RegisterAll(progress));

    ASSERT_TRUE(mosaic.Blend(BlendType::Basic, progress));
    const double basic = test::GhostingResidual(mosaic);
    ASSERT_TRUE(mosaic.Blend(BlendType::Advanced, progress));
    const double advanced = test::GhostingResidual(mosaic);
    EXPECT_LT(advanced, basic) << "ghosting residual: basic " << basic << ", advanced " << advanced;
    EXPECT_FALSE(mosaic.cylindrical().empty());
    if (const char* out = std::getenv("TP_PANORAMA_OUTPUT"))
        WriteImage(mosaic.planar(), std::string(out) + "/" + GetParam() + "-advanced.png");

    // Re-alignment may give up on a source (too few features); blending goes ahead either way.
    mosaic.Realign(progress);
    ASSERT_TRUE(mosaic.geometry_valid());
    ASSERT_TRUE(mosaic.Blend(BlendType::Advanced, progress));
    const double realigned = test::GhostingResidual(mosaic);
    RecordProperty("ghosting_residual_basic", std::to_string(basic));
    RecordProperty("ghosting_residual_advanced", std::to_string(advanced));
    RecordProperty("ghosting_residual_realigned", std::to_string(realigned));
    std::printf("%s: ghosting residual basic %.2f, advanced %.2f, re-aligned + advanced %.2f\n", GetParam().c_str(), basic, advanced,
                realigned);
    EXPECT_LT(realigned, basic);
    if (const char* out = std::getenv("TP_PANORAMA_OUTPUT"))
        WriteImage(mosaic.planar(), std::string(out) + "/" + GetParam() + "-realigned.png");
}

INSTANTIATE_TEST_SUITE_P(Sets, RealFinalization,
                         ::testing::Values("arches_arch", "arches_rocks", "cathedral_indoor", "grand_canyon_river",
                                           "library_indoor", "parrington", "petra_facade", "snowfield",
                                           "squamish_mountain", "venice_roofs", "weir", "xue_mountain"));

}  // namespace
}  // namespace tp
