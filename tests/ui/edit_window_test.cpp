#include <gtest/gtest.h>

#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

#include "project/workflow.h"
#include "project/workflow_test_support.h"
#include "ui/edit_canvas.h"
#include "ui/edit_window.h"
#include "ui/loupe.h"

namespace tp {
namespace {

// Two 320 x 240 views of one scene in modification mode, frame 1 shown in a 900 x 700 edit window.
class EditWindowTest : public ::testing::Test {
protected:
    void Open(bool translation, double zoom, bool horizontal = true, PointF hint = {})
    {
        for (const std::string& path : test::WritePanningViews(dir_, 2)) doc_.AddImage(path, AddPosition::Tail);
        test::RecordingHost host;
        StitchSourceImages(doc_, host, StitchMethod::Manual);
        doc_.mosaic()->alignment(0).translation_hint = hint;
        doc_.set_translation_mode(translation);
        doc_.set_selected_point(1);
        doc_.SelectFrame(1);
        horizontal_ = horizontal;
        window_ = std::make_unique<CWndModification>(doc_, [this] { return horizontal_; });
        window_->resize(900, 700);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        window_->ReloadPair();
        window_->SetZoom(zoom);
        // The pointer is "held" at a known spot of the window while points are placed.
        centre_ = window_->viewport()->mapToGlobal(QPoint(450, 350));
        window_->SetPointerControl({[this] { return centre_; }, [](QPoint) { return true; }});
    }

    QWidget* viewport() const { return window_->viewport(); }
    QPoint Scroll() const { return {window_->horizontalScrollBar()->value(), window_->verticalScrollBar()->value()}; }
    QPoint ToClient(PointI canvas) const { return QPoint(canvas.x, canvas.y) - Scroll(); }
    QPoint Centre() const { return viewport()->mapFromGlobal(centre_); }

    void Drag(QPoint from, QPoint by)
    {
        QTest::mousePress(viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(viewport(), from + by);
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, from + by);
    }
    // Places the selected point at `at` (working pixels) of `image`, then moves it by the pointer moves.
    void Place(int point, int image, QPointF at, std::initializer_list<QPoint> moves = {})
    {
        doc_.set_selected_point(point);
        const IntRect& rect = image == 0 ? doc_.first_image_rect() : doc_.second_image_rect();
        const double z = window_->zoom();
        const QPoint press = ToClient({rect.left + static_cast<int>(at.x() * z), rect.top + static_cast<int>(at.y() * z)});
        QTest::mousePress(viewport(), Qt::LeftButton, {}, press);
        for (const QPoint& move : moves) QTest::mouseMove(viewport(), Centre() + move);
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, Centre());
    }

    test::ScratchDir dir_;
    CMainDoc doc_;
    bool horizontal_ = true;
    QPoint centre_;
    std::unique_ptr<CWndModification> window_;
};

TEST_F(EditWindowTest, ADragRecordsTheScreenOffsetInWorkingPixels)
{
    struct Case { double zoom; QPoint by; float x, y; };
    for (const Case c : {Case{1.0, {-7, -5}, 313, -5}, Case{2.0, {-8, -6}, 316, -3}, Case{0.5, {-7, 3}, 306, 6}}) {
        SCOPED_TRACE(c.zoom);
        Open(true, c.zoom);
        QSignalSpy recorded(window_.get(), &CWndModification::editRecorded);
        const QRect second(ToClient({doc_.second_image_rect().left, doc_.second_image_rect().top}),
                           ToClient({doc_.second_image_rect().right, doc_.second_image_rect().bottom}));
        Drag((second & viewport()->rect()).center(), c.by);
        const PairEdit& edit = doc_.pair_edits()[0];
        EXPECT_EQ(edit.mode, 1);
        EXPECT_EQ(edit.modified, 1);
        EXPECT_FLOAT_EQ(edit.translation_x, c.x);
        EXPECT_FLOAT_EQ(edit.translation_y, c.y);
        EXPECT_EQ(recorded.count(), 1);
        doc_.RemoveAllImages();
    }
}

TEST_F(EditWindowTest, ADragFarAwayStopsWithTheImagesTouching)
{
    struct Case { QPoint by; float x, y; };
    for (const Case c : {Case{{-2000, 0}, -320, 0}, Case{{0, -2000}, 320, -240}, Case{{2000, 2000}, 320, 240}}) {
        Open(true, 1.0);
        const IntRect second = doc_.second_image_rect();
        Drag(ToClient({second.left + 20, second.top + 20}), c.by);
        EXPECT_FLOAT_EQ(doc_.pair_edits()[0].translation_x, c.x) << c.by.x() << "," << c.by.y();
        EXPECT_FLOAT_EQ(doc_.pair_edits()[0].translation_y, c.y) << c.by.x() << "," << c.by.y();
        doc_.RemoveAllImages();
    }
    EXPECT_EQ(PushBack({-500, 0, -180, 240}, {0, 0, 320, 240}), (IntRect{-320, 0, 0, 240}));
}

TEST_F(EditWindowTest, TheTranslationHintPlacesTheSecondImage)
{
    struct Case { bool horizontal; PointF hint; int dx, dy; };
    for (const Case c : {Case{true, {}, 320, 0}, Case{false, {}, 0, 240}, Case{true, {12.7f, -3.2f}, 12, -3}}) {
        Open(true, 1.0, c.horizontal, c.hint);
        EXPECT_EQ(doc_.second_image_rect().left - doc_.first_image_rect().left, c.dx);
        EXPECT_EQ(doc_.second_image_rect().top - doc_.first_image_rect().top, c.dy);
        doc_.RemoveAllImages();
    }
}

TEST_F(EditWindowTest, FourPointsAreRecordedInWorkingPixelsAtAnyZoom)
{
    for (const double zoom : {1.0, 2.0, 0.5}) {
        SCOPED_TRACE(zoom);
        Open(false, zoom);
        for (int j = 0; j < 4; ++j) {
            Place(j + 1, 0, QPointF(20 + 40 * j, 30 + 20 * j));
            Place(j + 1, 1, QPointF(10 + 30 * j, 40 + 10 * j));
        }
        const PairEdit& edit = doc_.pair_edits()[0];
        EXPECT_EQ(edit.mode, 2);
        EXPECT_EQ(edit.first_points[3], (PointF{140, 90}));
        EXPECT_EQ(edit.second_points[2], (PointF{70, 60}));
        doc_.RemoveAllImages();
    }
}

TEST_F(EditWindowTest, PointerMovesPlaceThePointAFifthAsFar)
{
    Open(false, 2.0);
    Place(1, 0, QPointF(50, 50), {QPoint(10, -5), QPoint(0, 0), QPoint(5, 15)});
    // (100, 100) canvas pixels + (2, -1) + (1, 3), halved back to working pixels.
    EXPECT_DOUBLE_EQ(window_->points(0)[0].x, 51.5);
    EXPECT_DOUBLE_EQ(window_->points(0)[0].y, 51.0);
    const PointD kept = MovePlacingPoint({1.0, 5.0}, {-10, 10}, {20, 20});
    EXPECT_EQ(kept.x, 1.0) << "an axis that would leave the image stays";
    EXPECT_EQ(kept.y, 7.0);
}

TEST_F(EditWindowTest, AnIncompleteSetIsKeptButNotRecorded)
{
    Open(false, 1.0);
    Place(3, 0, QPointF(30, 40));
    for (int j = 1; j <= 2; ++j) {
        Place(j, 0, QPointF(10 * j, 10));
        Place(j, 1, QPointF(10 * j, 20));
    }
    EXPECT_DOUBLE_EQ(window_->points(0)[2].x, 30.0);
    EXPECT_EQ(doc_.pair_edits()[0].modified, 0);
    EXPECT_EQ(doc_.pair_edits()[0].mode, -1);
}

TEST_F(EditWindowTest, APointReleasedOnTheImageEdgeIsNotStored)
{
    Open(false, 1.0);
    Place(2, 0, QPointF(319, 100), {QPoint(5, 0)});  // 319 + 1 lands on the right edge
    EXPECT_FALSE(PointIsSet(window_->points(0)[1]));
    EXPECT_EQ(window_->loupe_rect(), IntRect{});
    EXPECT_FALSE(PlacedPoint({319.9, 10}, {320, 240}, 1.0) == std::nullopt);
}

TEST(LoupeTest, MagnifiesTenTimesAtHalfZoomAndFiveTimesAtDoubleZoom)
{
    struct Case { double zoom; double magnification; PointD at; };
    for (const Case c : {Case{0.5, 10.0, {80, 60}}, Case{2.0, 5.0, {300, 200}}, Case{1.0, 5.0, {100, 100}}}) {
        const SizeI image{320, 240};
        const PointI origin{40, 30};
        const LoupeGeometry loupe = ComputeLoupe(c.zoom, c.at, image, origin);
        EXPECT_DOUBLE_EQ(loupe.magnification, c.magnification);
        const IntRect& s = loupe.source;
        const IntRect& d = loupe.destination;
        EXPECT_NEAR(d.right - d.left, c.magnification * c.zoom * (s.right - s.left), 1.0) << c.zoom;
        // The point under the pointer stays where it is.
        EXPECT_NEAR(d.left + c.magnification * (c.at.x - s.left * c.zoom), c.at.x + origin.x, 1.0) << c.zoom;
        EXPECT_LE(loupe.window.right - loupe.window.left, 300);
    }
    const LoupeGeometry corner = ComputeLoupe(1.0, {2, 2}, {320, 240}, {0, 0});
    EXPECT_EQ(corner.source.left, 0);
    EXPECT_EQ(corner.window.left, corner.destination.left) << "the loupe ends at the image's edge";
}

TEST_F(EditWindowTest, KeysScrollToTheCornersAndByLines)
{
    Open(true, 2.0);
    QScrollBar* across = window_->horizontalScrollBar();
    QScrollBar* down = window_->verticalScrollBar();
    QTest::keyClick(window_.get(), Qt::Key_End);
    EXPECT_EQ(Scroll(), QPoint(0, down->maximum()));
    QTest::keyClick(window_.get(), Qt::Key_Home);
    EXPECT_EQ(Scroll(), QPoint(0, 0));
    QTest::keyClick(window_.get(), Qt::Key_Right);
    QTest::keyClick(window_.get(), Qt::Key_Down);
    EXPECT_EQ(Scroll(), QPoint(40, 40)) << "a line is 20 pixels times the zoom";
    EXPECT_GT(across->maximum(), 0);
}

TEST_F(EditWindowTest, TheMenuOffersPreviewOnlyWhenEveryPairIsSet)
{
    Open(true, 1.0);
    const auto texts = [this] {
        const std::unique_ptr<QMenu> menu = window_->CreateContextMenu();
        QStringList all;
        for (const QAction* action : menu->actions()) all << action->text();
        return all;
    };
    EXPECT_EQ(texts(), (QStringList{"Zoom", "Changes Edit Mode."}));
    doc_.pair_edits()[0].mode = 1;
    EXPECT_EQ(texts(), (QStringList{"Zoom", "Preview", "Changes Edit Mode."}));
    QSignalSpy changed(window_.get(), &CWndModification::modeChanged);
    window_->RunCommand(CWndModification::kCmdChangeEditMode);
    EXPECT_FALSE(doc_.translation_mode());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(window_->canvas_size(), (SizeI{640, 240})) << "four points: the images end to end";
}

}  // namespace
}  // namespace tp
