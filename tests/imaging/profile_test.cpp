#include <gtest/gtest.h>

#include "imaging/image_ops.h"
#include "imaging/profile.h"

namespace tp {
namespace {

TEST(SmoothProfileTest, ImpulseGivesTheKernelAndSigmaZeroCopies)
{
    std::vector<float> impulse(11, 0.0f);
    impulse[5] = 1.0f;
    const std::vector<float> smoothed = SmoothProfile(impulse, 1.0f);
    const std::vector<float> kernel = GaussianKernel(1.0f);
    ASSERT_EQ(smoothed.size(), impulse.size());
    for (int t = 0; t < 5; ++t) EXPECT_FLOAT_EQ(smoothed[static_cast<std::size_t>(3 + t)], kernel[static_cast<std::size_t>(t)]);
    EXPECT_EQ(smoothed[0], 0.0f);
    EXPECT_EQ(SmoothProfile(impulse, 0.0f), impulse);
}

TEST(SmoothProfileTest, ZeroPaddingDarkensTheEnds)
{
    const std::vector<float> flat(20, 10.0f);
    const std::vector<float> smoothed = SmoothProfile(flat, 2.0f);
    EXPECT_NEAR(smoothed[10], 10.0f, 1e-4);
    EXPECT_LT(smoothed[0], 7.0f);
    EXPECT_LT(smoothed[19], 7.0f);
}

TEST(SegmentProfileTest, ReportsRunsAtOrAboveTheThresholdInOrder)
{
    const std::vector<float> profile = {1, 5, 6, 2, 5, 5, 5, 0, 9};
    std::vector<ProfileSegment> segments;
    ASSERT_EQ(SegmentProfile(profile, 5.0f, segments), 0);
    ASSERT_EQ(segments.size(), 3u);
    EXPECT_EQ(segments[0].first, 1);
    EXPECT_EQ(segments[0].last, 2);
    EXPECT_EQ(segments[0].length, 2);
    EXPECT_FLOAT_EQ(segments[0].excess, 1.0f);
    EXPECT_EQ(segments[1].first, 4);
    EXPECT_EQ(segments[1].length, 3);
    EXPECT_FLOAT_EQ(segments[1].excess, 0.0f);
    // A run still open at the end closes at the last sample.
    EXPECT_EQ(segments[2].first, 8);
    EXPECT_EQ(segments[2].last, 8);
    EXPECT_FLOAT_EQ(segments[2].excess, 4.0f);
}

TEST(SegmentProfileTest, NoRunGivesOne)
{
    std::vector<ProfileSegment> segments(3);
    EXPECT_EQ(SegmentProfile({1, 2, 3}, 4.0f, segments), 1);
    EXPECT_TRUE(segments.empty());
    EXPECT_EQ(SegmentProfile({}, 0.0f, segments), 1);
}

}  // namespace
}  // namespace tp
