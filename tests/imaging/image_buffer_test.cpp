#include <gtest/gtest.h>

#include "imaging/image_buffer.h"
#include "test_support.h"

namespace tp {
namespace {

TEST(ImageBufferLayout, StridesPadOnlyGreyAndColour)
{
    EXPECT_EQ(GrayImage(5, 2).stride(), 8u);
    EXPECT_EQ(ColorImage(5, 2).stride(), 16u);
    EXPECT_EQ(TripleImage(5, 2).stride(), 15u);
    EXPECT_EQ(BytePlane(5, 2).stride(), 5u);
    EXPECT_EQ(FloatImage(5, 2).stride(), 20u);
    EXPECT_EQ(IntImage(5, 2).stride(), 20u);
    EXPECT_EQ(ColorImage(4, 1).stride(), 12u);
    EXPECT_EQ(GrayImage(1, 1).stride(), 4u);
}

TEST(ImageBufferLayout, RowsAreStrideApartInOneZeroFilledBlockWithSpareBytes)
{
    ColorImage image(7, 5);
    ASSERT_FALSE(image.empty());
    EXPECT_EQ(image.block_size(), 24u * 5 + 3);
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(reinterpret_cast<const std::byte*>(image.row(y)), image.block() + 24 * y);
    for (std::size_t i = 0; i < image.block_size(); ++i) ASSERT_EQ(image.block()[i], std::byte{0}) << i;
}

TEST(ImageBufferLayout, ZeroSizeIsEmptyWithoutStorage)
{
    GrayImage zero_width(0, 10);
    EXPECT_TRUE(zero_width.empty());
    EXPECT_EQ(zero_width.block(), nullptr);
    FloatImage none;
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(none.width(), 0);
}

TEST(ImageBufferLayout, ClearZeroesPixelsButAllocateDropsOldContents)
{
    GrayImage image(3, 3);
    image.at(1, 1) = 9;
    image.clear();
    EXPECT_EQ(image.at(1, 1), 0);
    image.at(2, 2) = 7;
    image.allocate(4, 2);
    EXPECT_EQ(image.width(), 4);
    EXPECT_EQ(image.at(2, 1), 0);
}

TEST(ImageBufferCopy, AssignmentCopiesPixelsAndReallocatesOnlyOnSizeChange)
{
    ColorImage source = test::NoiseImage(5, 3);
    ColorImage same(5, 3);
    const auto* block_before = same.block();
    same = source;
    EXPECT_EQ(same.block(), block_before);
    EXPECT_TRUE(test::ImagesMatch(source, same));

    ColorImage other(2, 2);
    other = source;
    EXPECT_EQ(other.width(), 5);
    EXPECT_TRUE(test::ImagesMatch(source, other));
}

TEST(ImageBufferCopy, CompanionPlaneTravelsWithCopiesButIsNeverRemovedByThem)
{
    GrayImage with_plane(4, 4);
    with_plane.companion().at(3, 3) = 42;

    GrayImage without_plane(4, 4);
    without_plane = with_plane;
    ASSERT_TRUE(without_plane.has_companion());
    EXPECT_EQ(without_plane.companion_plane()->at(3, 3), 42);

    // A source without a plane leaves the destination's plane as it was.
    GrayImage plain(4, 4);
    without_plane = plain;
    ASSERT_TRUE(without_plane.has_companion());
    EXPECT_EQ(without_plane.companion_plane()->at(3, 3), 42);

    // Reallocation drops the plane.
    without_plane.allocate(2, 2);
    EXPECT_FALSE(without_plane.has_companion());
}

TEST(ImageBufferCopy, AssignmentOfDifferentSizeDropsTheOldPlaneFirst)
{
    ColorImage destination(3, 3);
    destination.companion().at(0, 0) = 5;
    ColorImage source(6, 2);
    destination = source;
    EXPECT_FALSE(destination.has_companion());
}

TEST(ImageBufferMove, MoveTakesStorageAndPlaneAndEmptiesTheSource)
{
    ColorImage source = test::NoiseImage(6, 4);
    source.companion().at(1, 1) = 3;
    const auto* block = source.block();
    ColorImage destination(std::move(source));
    EXPECT_EQ(destination.block(), block);
    EXPECT_TRUE(destination.has_companion());
    EXPECT_TRUE(source.empty());  // NOLINT(bugprone-use-after-move): the moved-from state is specified
    EXPECT_EQ(source.width(), 0);
    EXPECT_EQ(source.height(), 0);
    EXPECT_FALSE(source.has_companion());

    ColorImage target(1, 1);
    target.companion();
    target = ColorImage(2, 2);
    EXPECT_FALSE(target.has_companion());
    EXPECT_EQ(target.width(), 2);
}

TEST(ImageBufferAdopt, StorageChangesHandsWithoutCopying)
{
    FloatImage source(3, 2);
    source.at(2, 1) = 1.5f;
    const auto* block = source.block();
    auto storage = source.take_storage();
    EXPECT_TRUE(source.empty());
    FloatImage adopter;
    adopter.adopt(std::move(storage), 3, 2);
    EXPECT_EQ(adopter.block(), block);
    EXPECT_EQ(adopter.at(2, 1), 1.5f);
}

TEST(ComplexImageTest, AllocatesTwoPlanesOfOneSize)
{
    ComplexImage c(8, 4);
    EXPECT_EQ(c.real.width(), 8);
    EXPECT_EQ(c.imag.height(), 4);
    c.release();
    EXPECT_TRUE(c.empty());
    EXPECT_TRUE(c.imag.empty());
}

}  // namespace
}  // namespace tp
