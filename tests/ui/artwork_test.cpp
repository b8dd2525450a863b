#include <gtest/gtest.h>

#include <functional>

#include <QCursor>
#include <QImage>

#include "ui/artwork.h"
#include "ui/command_ids.h"

namespace tp {
namespace {

constexpr int kToolbarCommands[] = {
    kCmdNewProject,          kCmdOpenProject,       kCmdSaveProject,         kCmdEditWindowOnly,
    kCmdPreviewWindowOnly,   kCmdVerticalAlignment, kCmdHorizontalAlignment, kCmdShowCroppedImage,
    kCmdPlanarProjection,    kCmdCylindricalProjection, kCmdPrint,           kCmdPrintPreview,
    kCmdAbout,               kCmdEditCut,           kCmdEditCopy,            kCmdEditPaste};

// Share of the pixels that are not fully transparent.
double PaintedShare(const QPixmap& pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    qsizetype painted = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) painted += qAlpha(image.pixel(x, y)) > 0;
    }
    return double(painted) / double(image.width() * image.height());
}

struct PictureCase {
    std::string name;
    std::function<QPixmap(qreal)> paint;
    QSize logical;
};

std::vector<PictureCase> AllPictures()
{
    std::vector<PictureCase> cases;
    for (const int command : kToolbarCommands) {
        cases.push_back({"tool " + std::to_string(command), [command](qreal r) { return ToolbarPicture(command, r); },
                         {kToolbarPictureWidth, kToolbarPictureHeight}});
    }
    for (int step = 1; step <= 6; ++step) {
        for (const bool highlighted : {false, true}) {
            cases.push_back({"step " + std::to_string(step) + (highlighted ? " hot" : ""),
                             [step, highlighted](qreal r) { return StepPicture(step, highlighted, r); },
                             {kStepPictureSize, kStepPictureSize}});
        }
    }
    cases.push_back({"splash", [](qreal r) { return SplashPicture(r); }, {kSplashWidth, kSplashHeight}});
    cases.push_back({"about", [](qreal r) { return AboutPicture(r); }, {kAboutPictureWidth, kAboutPictureHeight}});
    return cases;
}

TEST(Artwork, EveryPictureHasItsLogicalSizeAtEitherRatioAndIsPainted)
{
    for (const PictureCase& picture : AllPictures()) {
        for (const qreal ratio : {1.0, 2.0}) {
            SCOPED_TRACE(picture.name + " at ratio " + std::to_string(ratio));
            const QPixmap pixmap = picture.paint(ratio);
            EXPECT_EQ(pixmap.size(), picture.logical * ratio);
            EXPECT_EQ(pixmap.devicePixelRatio(), ratio);
            EXPECT_EQ(pixmap.deviceIndependentSize(), QSizeF(picture.logical));
            EXPECT_GT(PaintedShare(pixmap), 0.05);
        }
    }
}

TEST(Artwork, HighlightedStepPicturesDifferFromNormalOnes)
{
    for (int step = 1; step <= 6; ++step) {
        EXPECT_NE(StepPicture(step, false).toImage(), StepPicture(step, true).toImage()) << "step " << step;
    }
}

TEST(Artwork, ToolbarPicturesAreDistinct)
{
    std::vector<QImage> seen;
    for (const int command : kToolbarCommands) {
        const QImage image = ToolbarPicture(command).toImage();
        for (const QImage& other : seen) EXPECT_NE(image, other) << "command " << command;
        seen.push_back(image);
    }
}

TEST(Artwork, CommandsAndStepsWithoutPictureGiveNull)
{
    EXPECT_TRUE(ToolbarPicture(kCmdExit).isNull());
    EXPECT_TRUE(ToolbarPicture(0, 2.0).isNull());
    EXPECT_TRUE(StepPicture(0, false).isNull());
    EXPECT_TRUE(StepPicture(7, true).isNull());
}

TEST(Artwork, ApplicationIconIsPaintedAtEverySize)
{
    for (const int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
        const QPixmap picture = ApplicationIconPicture(size);
        EXPECT_EQ(picture.size(), QSize(size, size));
        EXPECT_GT(PaintedShare(picture), 0.5) << size;
    }
    const QList<QSize> sizes = ApplicationIcon().availableSizes();
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
}

TEST(Artwork, BackgroundPatternIsAnOpaqueTileCloseToTheViewGrey)
{
    const QImage tile = BackgroundPattern().toImage();
    ASSERT_EQ(tile.size(), QSize(kBackgroundPatternSize, kBackgroundPatternSize));
    for (int y = 0; y < tile.height(); ++y) {
        for (int x = 0; x < tile.width(); ++x) {
            const QColor colour = tile.pixelColor(x, y);
            EXPECT_EQ(colour.alpha(), 255);
            EXPECT_NEAR(colour.red(), 47, 6);
            EXPECT_NEAR(colour.green(), 47, 6);
            EXPECT_NEAR(colour.blue(), 47, 6);
        }
    }
}

TEST(Artwork, CursorsArePaintedHandsWithTheHotSpotOnTheHand)
{
    const std::pair<const char*, QCursor> cursors[] = {
        {"open", OpenHandCursor()}, {"closed", ClosedHandCursor()}, {"link", LinkCursor()}};
    for (const auto& [name, cursor] : cursors) {
        SCOPED_TRACE(name);
        EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
        const QImage picture = cursor.pixmap().toImage();
        EXPECT_EQ(picture.size(), QSize(32, 32));
        ASSERT_TRUE(picture.rect().contains(cursor.hotSpot()));
        EXPECT_GT(qAlpha(picture.pixel(cursor.hotSpot())), 0);
    }
}

}  // namespace
}  // namespace tp
