#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "imaging/image_file.h"
#include "imaging/image_ops.h"
#include "imaging/working_images.h"
#include "test_support.h"

namespace tp {
namespace {

TEST(WorkingImageCacheTest, ServesRepeatedLoadsFromMemoryWithTheSamePixels)
{
    test::ScratchDir dir;
    ASSERT_EQ(WriteImage(test::NoiseImage(1500, 900, 3), dir.file("a.bmp")), 0);
    WorkingImageCache cache;
    ColorImage first, second, direct;
    ASSERT_TRUE(cache.Load(dir.file("a.bmp"), first));
    ASSERT_TRUE(cache.Load(dir.file("a.bmp"), second));
    ASSERT_TRUE(LoadFitted(direct, dir.file("a.bmp"), kWorkingBound, kWorkingBound));
    EXPECT_EQ(cache.loads_from_disk(), 1u);
    EXPECT_EQ(first.width(), 1024);
    EXPECT_TRUE(test::ImagesMatch(direct, first));
    EXPECT_TRUE(test::ImagesMatch(direct, second));
}

TEST(WorkingImageCacheTest, OtherNamesOfOneFileShareItsEntry)
{
    test::ScratchDir dir;
    ASSERT_EQ(WriteImage(test::NoiseImage(64, 48, 3), dir.file("a.png")), 0);
    std::filesystem::create_hard_link(dir.file("a.png"), dir.file("hard.png"));
    std::filesystem::create_symlink(dir.file("a.png"), dir.file("soft.png"));
    WorkingImageCache cache;
    const auto first = cache.Share(dir.file("a.png"));
    for (const char* name : {"hard.png", "soft.png", "./a.png"}) EXPECT_EQ(cache.Share(dir.file(name)), first) << name;
    EXPECT_EQ(cache.loads_from_disk(), 1u);
}

TEST(WorkingImageCacheTest, AChangedFileIsReadAgain)
{
    test::ScratchDir dir;
    ASSERT_EQ(WriteImage(test::NoiseImage(64, 48, 1), dir.file("a.bmp")), 0);
    WorkingImageCache cache;
    ColorImage image;
    ASSERT_TRUE(cache.Load(dir.file("a.bmp"), image));
    const ColorImage replacement = test::NoiseImage(64, 48, 2);
    ASSERT_EQ(WriteImage(replacement, dir.file("a.bmp")), 0);
    // Same size: only the modification time tells; make sure it moves.
    std::filesystem::last_write_time(dir.file("a.bmp"), std::filesystem::last_write_time(dir.file("a.bmp")) + std::chrono::seconds(2));
    ASSERT_TRUE(cache.Load(dir.file("a.bmp"), image));
    EXPECT_EQ(cache.loads_from_disk(), 2u);
    EXPECT_TRUE(test::ImagesMatch(replacement, image));
    std::filesystem::remove(dir.file("a.bmp"));
    EXPECT_FALSE(cache.Load(dir.file("a.bmp"), image));
}

TEST(WorkingImageCacheTest, KeepsWithinItsBudgetDroppingTheLeastRecentlyUsed)
{
    test::ScratchDir dir;
    for (int i = 0; i < 3; ++i) ASSERT_EQ(WriteImage(test::NoiseImage(100, 100, static_cast<unsigned>(i)), dir.file(std::to_string(i) + ".bmp")), 0);
    // Room for two 100 x 100 images (30 403 bytes each).
    WorkingImageCache cache(70000);
    ColorImage image;
    cache.Load(dir.file("0.bmp"), image);
    cache.Load(dir.file("1.bmp"), image);
    cache.Load(dir.file("0.bmp"), image);  // 0 is now the most recently used
    cache.Load(dir.file("2.bmp"), image);  // drops 1
    EXPECT_EQ(cache.loads_from_disk(), 3u);
    cache.Load(dir.file("0.bmp"), image);
    EXPECT_EQ(cache.loads_from_disk(), 3u);
    cache.Load(dir.file("1.bmp"), image);
    EXPECT_EQ(cache.loads_from_disk(), 4u);
}

TEST(WorkingImageCacheTest, SharedImagesOutliveEvictionAndCopiesDoNotTouchThem)
{
    test::ScratchDir dir;
    for (int i = 0; i < 3; ++i) ASSERT_EQ(WriteImage(test::NoiseImage(100, 100, static_cast<unsigned>(i)), dir.file(std::to_string(i) + ".bmp")), 0);
    WorkingImageCache cache(70000);  // room for two
    const std::shared_ptr<const ColorImage> first = cache.Share(dir.file("0.bmp"));
    ASSERT_TRUE(first);
    EXPECT_EQ(cache.Share(dir.file("0.bmp")), first);  // served again without a copy

    ColorImage copy;
    ASSERT_TRUE(cache.Load(dir.file("0.bmp"), copy));
    copy.at(5, 5, 1) ^= 0xFF;
    EXPECT_TRUE(test::ImagesMatch(test::NoiseImage(100, 100, 0), *first));

    ASSERT_TRUE(cache.Share(dir.file("1.bmp")));
    ASSERT_TRUE(cache.Share(dir.file("2.bmp")));  // drops 0 from the cache, not from its holder
    EXPECT_TRUE(test::ImagesMatch(test::NoiseImage(100, 100, 0), *first));
    EXPECT_NE(cache.Share(dir.file("0.bmp")), first);
    EXPECT_EQ(cache.loads_from_disk(), 4u);
    EXPECT_FALSE(cache.Share(dir.file("missing.bmp")));
}

TEST(WorkingImageCacheTest, InsertedImagesServeLaterLoadsAndThreadsMayShareTheCache)
{
    test::ScratchDir dir;
    ASSERT_EQ(WriteImage(test::NoiseImage(80, 60, 5), dir.file("a.png")), 0);
    WorkingImageCache cache;
    const ColorImage made = test::NoiseImage(80, 60, 5);
    cache.Insert(dir.file("a.png"), made);
    std::vector<std::thread> threads;
    std::atomic<int> matches{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int k = 0; k < 50; ++k) {
                ColorImage image;
                if (cache.Load(dir.file("a.png"), image) && test::ImagesMatch(made, image)) ++matches;
            }
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(matches.load(), 200);
    EXPECT_EQ(cache.loads_from_disk(), 0u);
}

}  // namespace
}  // namespace tp
