#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "imaging/parallel.h"
#include "registration/homography.h"
#include "registration/pair_registration.h"
#include "synthetic_views.h"

namespace tp {
namespace {

Matrix FromValues(std::initializer_list<double> values)
{
    Matrix m(3, 3);
    std::copy(values.begin(), values.end(), m.data());
    return m;
}

// A camera turning by `yaw` radians about its vertical axis, focal length f, seen in centred coordinates.
Matrix Turn(double yaw, double f)
{
    const double c = std::cos(yaw), s = std::sin(yaw);
    // K R K^-1 with K = diag(f, f, 1) and R the rotation about y.
    return FromValues({c, 0, f * s, 0, 1, 0, -s / f, 0, c});
}

// Two views of one scene: A looks at the scene centre, B sees A's content through `a_to_b`.
struct ViewPair {
    AlignmentTable table;
    test::MemoryWorkingImages images;
};

ViewPair MakePair(const Matrix& a_to_b, int width, int height, unsigned seed = 21)
{
    const ColorImage scene = test::MakeScene(2 * width + 400, 2 * height, seed);
    Matrix a_to_scene = TranslationHomography(scene.width() / 2, scene.height() / 2);
    ViewPair pair;
    pair.images.Put("a", test::RenderView(scene, a_to_scene, width, height));
    pair.images.Put("b", test::RenderView(scene, a_to_scene * Inverse(a_to_b), width, height));
    pair.table.resize(2);
    pair.table[0].path = "a";
    pair.table[1].path = "b";
    return pair;
}

int LevelsFor(int width, int height) { return width * height <= 307200 ? 3 : 4; }

struct Case {
    const char* name;
    Matrix truth;
    int width;
    int height;
};


TEST(AutomaticRegistrationTest, RecoversKnownHomographiesWithinAPixelAtTheCorners)
{
    const Case cases[] = {
        {"translation", TranslationHomography(-180, 12), 640, 480},
        {"rotation", FromValues({std::cos(0.01), -std::sin(0.01), -150, std::sin(0.01), std::cos(0.01), -8, 0, 0, 1}), 640, 480},
        {"turning camera", Turn(0.25, 700), 640, 480},
        {"turning camera, four levels", Turn(-0.2, 800), 800, 600},
    };
    for (const Case& c : cases) {
        ViewPair pair = MakePair(c.truth, c.width, c.height);
        const int status = RegisterPair(pair.table, 0, RegistrationMethod::Automatic, LevelsFor(c.width, c.height), pair.images);
        ASSERT_EQ(status, 0) << c.name;
        EXPECT_EQ(pair.table[0].has_next, 1) << c.name;
        EXPECT_EQ(pair.table[1].has_previous, 1) << c.name;
        EXPECT_EQ(pair.table[0].method, 0) << c.name;
        EXPECT_EQ(pair.table[0].pair_weight, 1.0) << c.name;
        EXPECT_LT(test::CornerError(pair.table[0].to_next, c.truth, c.width, c.height), 1.0) << c.name;
        EXPECT_LT(test::CornerError(pair.table[1].to_previous * c.truth, Matrix::Identity(3), c.width, c.height), 1.0) << c.name;
    }
}

TEST(AutomaticRegistrationTest, IdenticalImagesGiveTheIdentity)
{
    ViewPair pair = MakePair(Matrix::Identity(3), 320, 240);
    ASSERT_EQ(RegisterPair(pair.table, 0, RegistrationMethod::Automatic, 3, pair.images), 0);
    EXPECT_LT(test::CornerError(pair.table[0].to_next, Matrix::Identity(3), 320, 240), 0.05);
}

TEST(AutomaticRegistrationTest, ABlankPairIsDeclinedAndKeepsItsOldHomographies)
{
    ViewPair pair;
    pair.images.Put("a", ColorImage(320, 240));
    pair.images.Put("b", ColorImage(320, 240));
    pair.table.resize(2);
    pair.table[0].path = "a";
    pair.table[1].path = "b";
    StorePairResult(pair.table, 0, TranslationHomography(7, 0), TranslationHomography(-7, 0), 1.0);
    EXPECT_NE(RegisterPair(pair.table, 0, RegistrationMethod::Automatic, 3, pair.images), 0);
    EXPECT_EQ(pair.table[0].verdict, PairVerdict::Declined);
    EXPECT_EQ(pair.table[0].has_next, 0);
    EXPECT_EQ(pair.table[1].has_previous, 0);
    EXPECT_EQ(pair.table[0].to_next, TranslationHomography(7, 0));
}

TEST(RegisterPairTest, DifferentSizesCountAsRegisteredWithTheIdentity)
{
    ViewPair pair = MakePair(TranslationHomography(-50, 0), 320, 240);
    pair.images.Put("b", test::MakeScene(300, 240, 3));
    pair.table[0].to_next = TranslationHomography(5, 5);
    ASSERT_EQ(RegisterPair(pair.table, 0, RegistrationMethod::Automatic, 3, pair.images), 0);
    EXPECT_EQ(pair.table[0].to_next, Matrix::Identity(3));
    EXPECT_EQ(pair.table[0].has_next, 1);
}

TEST(RegisterPairTest, AnUnreadableSourceLeavesThePairUnregisteredWithItsOldHomographies)
{
    ViewPair pair = MakePair(TranslationHomography(-50, 0), 320, 240);
    StorePairResult(pair.table, 0, TranslationHomography(7, 0), TranslationHomography(-7, 0), 1.0);
    pair.images.Remove("b");
    EXPECT_NE(RegisterPair(pair.table, 0, RegistrationMethod::Automatic, 3, pair.images), 0);
    EXPECT_EQ(pair.table[0].has_next, 0);
    EXPECT_EQ(pair.table[1].has_previous, 0);
    EXPECT_EQ(pair.table[0].to_next, TranslationHomography(7, 0));
    EXPECT_EQ(pair.table[0].method, 0);
}

TEST(RegisterPairTest, TranslationHintStartsTheRefinement)
{
    const Matrix truth = TranslationHomography(-300, 4);
    ViewPair pair = MakePair(truth, 800, 600);
    // The hint says: a point of image i is found 300 pixels further left in image i + 1.
    pair.table[0].translation_hint = {300.0f, -4.0f};
    ASSERT_EQ(RegisterPair(pair.table, 0, RegistrationMethod::Translation, 4, pair.images), 0);
    EXPECT_EQ(pair.table[0].method, 1);
    EXPECT_LT(test::CornerError(pair.table[0].to_next, truth, 800, 600), 1.0);
}

TEST(RegisterPairTest, FourPointHintStartsTheRefinement)
{
    const Matrix truth = Turn(0.3, 700);
    ViewPair pair = MakePair(truth, 640, 480);
    // Four scene points given in working-image pixels of both images.
    const PointF first[4] = {{420, 100}, {600, 120}, {590, 380}, {430, 400}};
    for (int k = 0; k < 4; ++k) {
        pair.table[0].first_points[static_cast<std::size_t>(k)] = first[k];
        const MappedPoint m = ApplyHomography(truth, first[k].x - 320, first[k].y - 240);
        pair.table[0].second_points[static_cast<std::size_t>(k)] = {m.x + 320, m.y + 240};
    }
    ASSERT_EQ(RegisterPair(pair.table, 0, RegistrationMethod::FourPoints, 3, pair.images), 0);
    EXPECT_EQ(pair.table[0].method, 2);
    EXPECT_LT(test::CornerError(pair.table[0].to_next, truth, 640, 480), 1.0);
}

TEST(RegisterPairTest, DegenerateFourPointHintFailsCleanly)
{
    ViewPair pair = MakePair(TranslationHomography(-100, 0), 320, 240);
    pair.table[0].first_points.fill({10, 10});
    pair.table[0].second_points.fill({20, 20});
    EXPECT_NE(RegisterPair(pair.table, 0, RegistrationMethod::FourPoints, 3, pair.images), 0);
    EXPECT_EQ(pair.table[0].has_next, 0);
}

// Cancels at a chosen step and records what it was told.
class CancellingProgress final : public Progress {
public:
    explicit CancellingProgress(int cancel_at_step) : cancel_at_(cancel_at_step) {}
    bool Step() override { return ++steps == cancel_at_; }
    void SetRange(int n) override { range = n; }
    void SetText(int id) override { text = id; }
    int steps = 0;
    int range = -1;
    int text = -1;

private:
    int cancel_at_;
};

TEST(RegisterNeighboursTest, CancellingDuringPairKLeavesPairsUpToKRegistered)
{
    test::MemoryWorkingImages images;
    const ColorImage scene = test::MakeScene(1200, 300, 4);
    AlignmentTable table(5);
    for (int i = 0; i < 5; ++i) {
        const std::string name = "view" + std::to_string(i);
        images.Put(name, test::RenderView(scene, TranslationHomography(300 + 120 * i, 150), 320, 240));
        table[static_cast<std::size_t>(i)].path = name;
    }
    CancellingProgress progress(2);
    EXPECT_FALSE(RegisterNeighbours(table, 3, images, progress));
    EXPECT_EQ(progress.range, 5);
    EXPECT_EQ(progress.text, 35305);
    EXPECT_EQ(progress.steps, 2);
    EXPECT_EQ(table[0].has_next, 1);
    EXPECT_EQ(table[1].has_next, 1);
    EXPECT_EQ(table[2].has_next, 0);
    EXPECT_EQ(table[2].method, -1);
    EXPECT_LT(test::CornerError(table[1].to_next, TranslationHomography(-120, 0), 320, 240), 1.0);
}

// Serves each name's images in turn, one per request (the last one again once all were served): a file
// that changes between two reads.
class ChangingImages final : public WorkingImageSource {
public:
    void Put(const std::string& path, std::vector<ColorImage> versions)
    {
        for (ColorImage& image : versions) versions_[path].push_back(std::make_shared<const ColorImage>(std::move(image)));
    }
    std::shared_ptr<const ColorImage> Share(const std::string& path) override
    {
        const auto& versions = versions_.at(path);
        std::size_t& served = served_[path];
        return versions[std::min(served++, versions.size() - 1)];
    }

private:
    std::map<std::string, std::vector<std::shared_ptr<const ColorImage>>> versions_;
    std::map<std::string, std::size_t> served_;
};

TEST(RegisterNeighboursTest, AgreesWithRegisteringEachPairAloneEvenWhenASourceChangesBetweenPairs)
{
    const ColorImage scene = test::MakeScene(1200, 300, 6);
    auto view = [&](double x, double y) { return test::RenderView(scene, TranslationHomography(x, y), 320, 240); };
    // One run: view2 reads differently for its second pair, so that pair must not reuse the first one's
    // pyramid of it.
    ChangingImages run_images;
    AlignmentTable run(4);
    for (int i = 0; i < 4; ++i) run[static_cast<std::size_t>(i)].path = "view" + std::to_string(i);
    run_images.Put("view0", {view(300, 150)});
    run_images.Put("view1", {view(420, 150)});
    run_images.Put("view2", {view(540, 150), view(560, 160)});
    run_images.Put("view3", {view(660, 150)});
    SetWorkerThreads(1);  // the order of reads decides which version each pair gets
    CancellingProgress progress(-1);
    EXPECT_TRUE(RegisterNeighbours(run, 3, run_images, progress));
    SetWorkerThreads(0);

    test::MemoryWorkingImages alone_images;
    alone_images.Put("view0", view(300, 150));
    alone_images.Put("view1", view(420, 150));
    alone_images.Put("view2-first", view(540, 150));
    alone_images.Put("view2-second", view(560, 160));
    alone_images.Put("view3", view(660, 150));
    const std::pair<const char*, const char*> pairs[] = {{"view0", "view1"}, {"view1", "view2-first"}, {"view2-second", "view3"}};
    for (int i = 0; i < 3; ++i) {
        AlignmentTable alone(2);
        alone[0].path = pairs[i].first;
        alone[1].path = pairs[i].second;
        RegisterPair(alone, 0, RegistrationMethod::Automatic, 3, alone_images);
        SCOPED_TRACE(i);
        EXPECT_EQ(run[static_cast<std::size_t>(i)].has_next, alone[0].has_next);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) EXPECT_EQ(run[static_cast<std::size_t>(i)].to_next[r][c], alone[0].to_next[r][c]);
    }
    // The changed view moved: the last pair sees a different shift from the one it would with the old image.
    EXPECT_GT(test::CornerError(run[2].to_next, TranslationHomography(-120, 0), 320, 240), 5.0);
}

TEST(RegisterNeighboursTest, OneSourceRegistersNothing)
{
    AlignmentTable table(1);
    test::MemoryWorkingImages images;
    CancellingProgress progress(-1);
    EXPECT_TRUE(RegisterNeighbours(table, 3, images, progress));
    EXPECT_EQ(progress.range, 1);
    EXPECT_EQ(progress.steps, 0);
    EXPECT_EQ(images.loads(), 0);
}

}  // namespace
}  // namespace tp
