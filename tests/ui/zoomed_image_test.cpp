// The drawing copies: 32-bit conversion, the 2 x 2 box levels, area reduction and the copy kept per zoom.
#include <gtest/gtest.h>

#include "ui/image_reduction.h"
#include "ui/zoomed_image.h"

namespace tp {
namespace {

QImage Row(std::initializer_list<QRgb> pixels)
{
    QImage image(static_cast<int>(pixels.size()), 1, QImage::Format_RGB32);
    int x = 0;
    for (const QRgb p : pixels) image.setPixel(x++, 0, p);
    return image;
}

TEST(ZoomedImageTest, ConversionKeepsEveryChannelInPlace)
{
    ColorImage image(2, 1);
    image.row(0)[0] = 10, image.row(0)[1] = 20, image.row(0)[2] = 30;  // blue, green, red
    image.row(0)[3] = 255;
    const QImage out = ToRgb32(image);
    ASSERT_EQ(out.format(), QImage::Format_RGB32);
    EXPECT_EQ(out.pixel(0, 0), qRgb(30, 20, 10));
    EXPECT_EQ(out.pixel(1, 0), qRgb(0, 0, 255));
}

TEST(ZoomedImageTest, BoxLevelIsTheRoundedMeanOfEachBlockAndDropsAnOddEdge)
{
    QImage image(5, 3, QImage::Format_RGB32);
    image.fill(qRgb(9, 9, 9));
    image.setPixel(0, 0, qRgb(0, 255, 1));
    image.setPixel(1, 0, qRgb(1, 255, 2));
    image.setPixel(0, 1, qRgb(2, 255, 2));
    image.setPixel(1, 1, qRgb(2, 255, 2));
    const QImage half = HalveByBoxFilter(image);
    ASSERT_EQ(half.size(), QSize(2, 1));
    EXPECT_EQ(half.pixel(0, 0), qRgb(1, 255, 2));  // (5 + 2) / 4 and (7 + 2) / 4, rounded half up
    EXPECT_EQ(half.pixel(1, 0), qRgb(9, 9, 9));
    EXPECT_TRUE(HalveByBoxFilter(Row({1, 2, 3})).isNull());
}

TEST(ZoomedImageTest, AreaReductionWeighsEachSourcePixelByItsShare)
{
    struct Case {
        QImage source;
        int width;
        std::vector<int> reds;
    } const cases[] = {
        {Row({qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(255, 0, 0)}), 2, {0, 255}},
        {Row({qRgb(0, 0, 0), qRgb(90, 0, 0), qRgb(255, 0, 0)}), 2, {30, 200}},  // thirds: (0 + 90/2) / 1.5
        {Row({qRgb(200, 0, 0), qRgb(200, 0, 0), qRgb(200, 0, 0)}), 2, {200, 200}},
        {Row({qRgb(40, 0, 0), qRgb(80, 0, 0)}), 1, {60}},
    };
    for (const Case& c : cases) {
        const QImage out = ReduceByArea(c.source, QSize(c.width, 1));
        ASSERT_EQ(out.width(), c.width);
        for (int x = 0; x < c.width; ++x) EXPECT_NEAR(qRed(out.pixel(x, 0)), c.reds[static_cast<std::size_t>(x)], 1) << x;
    }
}

TEST(ZoomedImageTest, AreaReductionMadeInTilesEqualsTheWholeReduction)
{
    QImage source(997, 601, QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) source.setPixel(x, y, qRgb((x * 7) % 256, (y * 5) % 256, (x ^ y) % 256));
    const QSize size(531, 333);
    const QImage whole = ReduceByArea(source, size);
    QImage tiled(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); y += 100)
        for (int x = 0; x < size.width(); x += 128) ReduceByArea(source, tiled, QRect(x, y, 128, 100));
    EXPECT_EQ(tiled, whole);
}

TEST(ZoomedImageTest, TheCopyForAZoomHasTheZoomedSizeAndComesFromTheFullImageAtOneAndAbove)
{
    ColorImage image(1001, 333);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.row(y)[3 * x + 1] = 120;  // flat green
    ZoomedImage zoomed;
    zoomed.SetImage(image);
    for (const double zoom : {0.5, 0.25, 0.3, 0.01, 0.75}) {
        zoomed.SetZoom(zoom);
        zoomed.Prepare(QRect(0, 0, 1000, 1000));
        ASSERT_EQ(zoomed.source().size(), QSize(static_cast<int>(1001 * zoom), static_cast<int>(333 * zoom))) << zoom;
        EXPECT_EQ(zoomed.source().pixel(zoomed.source().width() / 2, 0), qRgb(0, 120, 0)) << zoom;
    }
    for (const double zoom : {1.0, 4.0}) {
        zoomed.SetZoom(zoom);
        EXPECT_EQ(zoomed.source().size(), QSize(1001, 333)) << zoom;
    }
    zoomed.SetZoom(1.0 / 1024);
    EXPECT_TRUE(zoomed.source().isNull()) << "nothing left to show";
}

}  // namespace
}  // namespace tp
