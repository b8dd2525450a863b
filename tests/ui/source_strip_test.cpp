#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTest>

#include <filesystem>

#include "bars_test_support.h"
#include "ui/command_ids.h"
#include "ui/properties_dialog.h"
#include "ui/source_strip.h"
#include "ui/strip_layout.h"

namespace tp {
namespace {

TEST(StripLayout, FitsAcrossAndStacksAlongWithTenPixelGaps)
{
    const std::vector<QSize> three(3, QSize(160, 120));
    const struct {
        QSize client;
        bool horizontal;
        std::vector<QRect> rects;
        QSize extent;
    } table[] = {
        {{600, 100}, true, {{0, 5, 120, 90}, {130, 5, 120, 90}, {260, 5, 120, 90}}, {390, 0}},
        {{100, 600}, false, {{5, 0, 90, 68}, {5, 78, 90, 68}, {5, 156, 90, 68}}, {0, 234}},
        {{100, 100}, false, {{5, 0, 90, 68}, {5, 78, 90, 68}, {5, 156, 90, 68}}, {0, 234}},
    };
    for (const auto& row : table) {
        const StripLayout layout = LayoutStrip(row.client, three);
        EXPECT_EQ(layout.horizontal, row.horizontal);
        EXPECT_EQ(layout.rects, row.rects);
        EXPECT_EQ(layout.extent, row.extent);
    }
    EXPECT_EQ(LayoutStrip({600, 100}, {}).extent, QSize(0, 0));
}

TEST(StripLayout, DropPositionFollowsTheMidpoints)
{
    const StripLayout layout = LayoutStrip({800, 100}, std::vector<QSize>(3, QSize(160, 120)));  // mids 60, 190, 320
    const struct {
        int centre_x;
        int before;
    } table[] = {{-40, 0}, {59, 0}, {61, 1}, {200, 2}, {321, 3}, {900, 3}};
    for (const auto& row : table) EXPECT_EQ(DropPosition(layout, {row.centre_x, 50}), row.before) << row.centre_x;
    EXPECT_FALSE(DropMoves(2, 2));
    EXPECT_FALSE(DropMoves(2, 3));
    EXPECT_TRUE(DropMoves(2, 0));
    EXPECT_TRUE(DropMoves(2, 5));
}

class StripWithImages : public ::testing::Test {
protected:
    void Load(int count, QSize strip_size)
    {
        test::AddImages(frame.doc, dir, count);
        frame.doc.set_stitch_state(StitchState::Stitched);
        strip.resize(strip_size);
        strip.show();
        strip.Relayout();
    }
    QWidget* surface() { return strip.viewport(); }
    QPoint CentreOf(int index) { return strip.EntryRect(index).center(); }
    void Drag(int index, QPoint by)
    {
        QTest::mousePress(surface(), Qt::LeftButton, {}, CentreOf(index));
        QTest::mouseMove(surface(), CentreOf(index) + by / 2);
        QTest::mouseMove(surface(), CentreOf(index) + by);
        QTest::mouseRelease(surface(), Qt::LeftButton, {}, CentreOf(index) + by);
    }

    test::ScratchDir dir;
    test::FakeFrame frame;
    SourceStrip strip{frame};
};

TEST_F(StripWithImages, LaysOutLeftToRightFittedToTheHeight)
{
    Load(3, {600, 100});
    ASSERT_TRUE(strip.horizontal());
    EXPECT_EQ(strip.EntryRect(0), QRect(0, 5, 120, 90));
    EXPECT_EQ(strip.EntryRect(2), QRect(260, 5, 120, 90));
    EXPECT_EQ(strip.content_extent(), QSize(390, 0));
}

TEST_F(StripWithImages, DraggingReordersOnlyWhenDroppedAwayFromItsOwnPlace)
{
    Load(5, {800, 100});
    const std::vector<std::string> before = frame.doc.image_paths();

    Drag(2, {20, 0});  // the centre stays between its own midpoint and the next one's
    EXPECT_EQ(frame.doc.image_paths(), before);
    EXPECT_EQ(frame.list_edits, 0);
    EXPECT_FALSE(frame.doc.modified());

    // Past the first image's midpoint.
    Drag(2, {strip.EntryRect(0).center().x() - 5 - CentreOf(2).x(), 0});
    const std::vector<std::string> after = frame.doc.image_paths();
    EXPECT_EQ(after, (std::vector<std::string>{before[2], before[0], before[1], before[3], before[4]}));
    EXPECT_TRUE(frame.doc.modified());
    EXPECT_EQ(frame.doc.stitch_state(), StitchState::Unstitched);
    EXPECT_EQ(frame.list_edits, 1);
    EXPECT_EQ(strip.selected_index(), 0);
    EXPECT_EQ(frame.status, QString::fromStdString(before[2]));
}

TEST_F(StripWithImages, ASecondClickInThePlaceDeselects)
{
    Load(3, {600, 100});
    QTest::mouseClick(surface(), Qt::LeftButton, {}, CentreOf(1));
    EXPECT_EQ(strip.selected_index(), 1);
    EXPECT_TRUE(strip.selection_active());
    EXPECT_EQ(frame.status, QString::fromStdString(frame.doc.image(1).path));
    QTest::mouseClick(surface(), Qt::LeftButton, {}, CentreOf(1));
    EXPECT_EQ(strip.selected_index(), -1);
    EXPECT_EQ(frame.status, QStringLiteral("Ready..."));
}

TEST_F(StripWithImages, DeleteKeyRemovesOnlyAnActiveSelection)
{
    Load(3, {600, 100});
    const std::string second = frame.doc.image(1).path;
    QTest::mousePress(surface(), Qt::LeftButton, {}, CentreOf(1));  // selected, not yet active
    QTest::keyClick(&strip, Qt::Key_Delete);
    EXPECT_EQ(frame.doc.image_count(), 3);

    QTest::mouseRelease(surface(), Qt::LeftButton, {}, CentreOf(1));
    QTest::keyClick(&strip, Qt::Key_Delete);
    ASSERT_EQ(frame.doc.image_count(), 2);
    EXPECT_NE(frame.doc.image(1).path, second);
    EXPECT_EQ(strip.selected_index(), -1);
    EXPECT_TRUE(frame.doc.modified());
    EXPECT_EQ(frame.doc.stitch_state(), StitchState::Unstitched);
    EXPECT_EQ(frame.list_edits, 1);
}

std::vector<int> CommandsOf(const QMenu& menu)
{
    std::vector<int> ids;
    for (const QAction* action : menu.actions())
        if (!action->isSeparator()) ids.push_back(action->data().toInt());
    return ids;
}

TEST_F(StripWithImages, ContextMenuOffersImageCommandsOnlyOverTheSelection)
{
    Load(3, {600, 100});
    const std::vector<int> bar_only{kCmdStripDocking, kCmdStripHide};
    EXPECT_EQ(CommandsOf(*strip.CreateContextMenu(CentreOf(0))), bar_only);

    QTest::mousePress(surface(), Qt::RightButton, {}, CentreOf(0));
    QTest::mouseRelease(surface(), Qt::RightButton, {}, CentreOf(0));
    EXPECT_TRUE(strip.selection_active());
    EXPECT_EQ(CommandsOf(*strip.CreateContextMenu(CentreOf(0))),
              (std::vector<int>{kCmdStripDelete, kCmdStripDocking, kCmdStripHide, kCmdStripProperties}));
    EXPECT_EQ(CommandsOf(*strip.CreateContextMenu(CentreOf(1))), bar_only);
}

TEST_F(StripWithImages, CopesWithAnEmptyProjectAndVanishedEntries)
{
    Load(3, {600, 100});
    QTest::mouseClick(surface(), Qt::LeftButton, {}, CentreOf(2));
    frame.doc.RemoveImage(2);
    strip.grab();  // painting before the frame relays the strip out
    strip.Relayout();
    EXPECT_EQ(strip.selected_index(), -1);
    frame.doc.RemoveAllImages();
    strip.Relayout();
    EXPECT_EQ(strip.content_extent(), QSize(0, 0));
    EXPECT_TRUE(strip.EntryRect(0).isEmpty());
    QTest::mouseClick(surface(), Qt::LeftButton, {}, {50, 50});
    EXPECT_EQ(strip.selected_index(), -1);
}

TEST(ImageProperties, ReadsTheFileOrSaysTheSizeIsUnavailable)
{
    const test::ScratchDir dir;
    const std::string path = dir.file("photo.png");
    test::WriteBytes(path, std::vector<std::uint8_t>(1234, 7));
    const QString folder = QString::fromStdString(dir.path().string());
    const struct {
        std::string path;
        QString name;
        QString size;
    } table[] = {
        {path, QStringLiteral("photo.png"), QStringLiteral("1234 bytes")},
        {dir.file("gone.jpg"), QStringLiteral("gone.jpg"), QStringLiteral("unavailable")},
    };
    for (const auto& row : table) {
        EXPECT_EQ(CollectImageProperties(row.path, 2048, 1536),
                  (std::vector<PropertyRow>{{QStringLiteral("Location"), folder},
                                            {QStringLiteral("Name"), row.name},
                                            {QStringLiteral("Size"), row.size},
                                            {QStringLiteral("Width"), QStringLiteral("2048 pixels")},
                                            {QStringLiteral("Height"), QStringLiteral("1536 pixels")}}));
    }
}

}  // namespace
}  // namespace tp
