// Composing at the photographs' own resolution: three views cut at 1600 x 1200 (working images 1024 x 768,
// a scale of 1.5625 that no whole number of pixels divides), placed by their true translations, with
// brightness differences that make any misplaced seam show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "compositing/scaled_composition.h"
#include "imaging/image_file.h"
#include "imaging/image_ops.h"
#include "imaging/parallel.h"
#include "mosaic_test_support.h"
#include "registration/homography.h"
#include "test_support.h"

namespace tp {
namespace {

constexpr int kFileWidth = 1600, kFileHeight = 1200, kFileStep = 900;
constexpr double kScale = 1600.0 / 1024.0;
constexpr double kGains[3] = {0.85, 1.0, 1.15};

class ScaledComposition : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        scratch_ = std::make_unique<test::ScratchDir>();
        const ColorImage scene = test::MakeScene(kFileWidth + 2 * kFileStep + 40, kFileHeight + 40, 3);
        for (int i = 0; i < 3; ++i) {
            ColorImage view = test::RenderView(scene, TranslationHomography(20 + kFileWidth / 2 + kFileStep * i, 20 + kFileHeight / 2),
                                               kFileWidth, kFileHeight);
            for (int y = 0; y < view.height(); ++y)
                for (int x = 0; x < 3 * view.width(); ++x)
                    view.row(y)[x] = static_cast<std::uint8_t>(std::clamp(view.row(y)[x] * kGains[i] + 0.5, 1.0, 255.0));
            paths_.push_back(scratch_->file("view" + std::to_string(i) + ".bmp"));
            ASSERT_EQ(WriteImage(view, paths_.back()), 0);
        }
    }
    static void TearDownTestSuite() { scratch_.reset(); }

    // The views' mosaic, blended at working size.
    static std::unique_ptr<Mosaic> Blended(BlendType type)
    {
        auto mosaic = std::make_unique<Mosaic>(MakeMosaicParameters(1024, 768, 3), paths_, std::make_shared<WorkingImageCache>());
        const double step = kFileStep / kScale;
        for (int i = 0; i < 2; ++i) {
            const Matrix h = TranslationHomography(-step, 0);
            StorePairResult(mosaic->alignments(), i, h, Inverse(h), 1.0);
        }
        NullProgress progress;
        EXPECT_TRUE(mosaic->UpdateGeometry());
        EXPECT_TRUE(mosaic->Blend(type, progress));
        return mosaic;
    }

    static std::unique_ptr<test::ScratchDir> scratch_;
    static std::vector<std::string> paths_;
};

std::unique_ptr<test::ScratchDir> ScaledComposition::scratch_;
std::vector<std::string> ScaledComposition::paths_;

bool Empty(const std::uint8_t* p) { return p[0] == 0 && p[1] == 0 && p[2] == 0; }

// How far a composition reduced to the working canvas is from the working image, over the pixels both
// cover at least 3 pixels in from any empty one: the mean difference per sample, and the largest
// difference of 9 x 9 means (a misplaced seam between views of different brightness shows there).
struct Agreement {
    double mean = 0.0;
    double worst_block = 0.0;
};

Agreement Compare(const ColorImage& reduced, const ColorImage& working)
{
    const int w = working.width(), h = working.height();
    GrayImage usable(w, h);
    for (int y = 3; y < h - 3; ++y)
        for (int x = 3; x < w - 3; ++x) {
            bool all = true;
            for (int dy = -3; dy <= 3 && all; ++dy)
                for (int dx = -3; dx <= 3 && all; ++dx)
                    all = !Empty(working.pixel(x + dx, y + dy)) && !Empty(reduced.pixel(x + dx, y + dy));
            usable.at(x, y) = all ? 1 : 0;
        }
    Agreement agreement;
    double sum = 0.0;
    long long count = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (usable.at(x, y))
                for (int c = 0; c < 3; ++c, ++count) sum += std::abs(reduced.at(x, y, c) - working.at(x, y, c));
    agreement.mean = count ? sum / static_cast<double>(count) : 255.0;
    for (int y = 4; y + 4 < h; y += 3)
        for (int x = 4; x + 4 < w; x += 3) {
            if (!usable.at(x, y)) continue;
            for (int c = 0; c < 3; ++c) {
                double a = 0, b = 0;
                int n = 0;
                for (int dy = -4; dy <= 4; ++dy)
                    for (int dx = -4; dx <= 4; ++dx)
                        if (usable.at(x + dx, y + dy)) {
                            a += reduced.at(x + dx, y + dy, c);
                            b += working.at(x + dx, y + dy, c);
                            ++n;
                        }
                agreement.worst_block = std::max(agreement.worst_block, std::abs(a - b) / n);
            }
        }
    return agreement;
}

TEST_F(ScaledComposition, FullSizeReducedMatchesTheWorkingImageWithSeamsInPlace)
{
    struct Case {
        BlendType blend;
        Projection projection;
    };
    for (const Case c : {Case{BlendType::Basic, Projection::Planar}, Case{BlendType::Advanced, Projection::Planar},
                         Case{BlendType::Advanced, Projection::Cylindrical}}) {
        SCOPED_TRACE(static_cast<int>(c.blend) * 10 + static_cast<int>(c.projection));
        const std::unique_ptr<Mosaic> mosaic = Blended(c.blend);
        ColorImage full;
        NullProgress progress;
        ASSERT_TRUE(ComposeAtScale(*mosaic, kScale, c.projection, progress, full));
        const ColorImage& working = c.projection == Projection::Planar ? mosaic->planar() : mosaic->cylindrical();
        EXPECT_EQ(full.width(), std::lround(working.width() * kScale));
        EXPECT_EQ(full.height(), std::lround(working.height() * kScale));
        ColorImage reduced(working.width(), working.height());
        AreaResample(full, reduced);
        const Agreement agreement = Compare(reduced, working);
        EXPECT_LT(agreement.mean, 3.0);
        EXPECT_LT(agreement.worst_block, 10.0);
    }
}

TEST_F(ScaledComposition, WorksSourceBySourceWithinTheBudgetAndAlikeOnAnyThreadCount)
{
    const std::unique_ptr<Mosaic> mosaic = Blended(BlendType::Advanced);
    MemoryBudget budget(std::size_t{64} << 20);
    CompositionReport report;
    ColorImage two_threads, one_thread;
    NullProgress progress;
    ASSERT_TRUE(ComposeAtScale(*mosaic, kScale, Projection::Planar, progress, two_threads, &budget, &report));
    // The reference and each joined source are separate pieces, each within the budget, and the budget
    // holds no more than one at a time.
    EXPECT_EQ(report.pieces, 3);
    EXPECT_LE(report.largest_piece_bytes, budget.capacity());
    EXPECT_LE(budget.peak_held(), budget.capacity());
    EXPECT_EQ(budget.held(), 0U);

    const int threads = WorkerThreads();
    SetWorkerThreads(1);
    ASSERT_TRUE(ComposeAtScale(*mosaic, kScale, Projection::Planar, progress, one_thread));
    SetWorkerThreads(threads);
    ASSERT_EQ(one_thread.height(), two_threads.height());
    for (int y = 0; y < one_thread.height(); ++y)
        ASSERT_EQ(std::memcmp(one_thread.row(y), two_threads.row(y), 3 * static_cast<std::size_t>(one_thread.width())), 0) << y;
}

TEST_F(ScaledComposition, RefusesWithoutABlendAndStopsWhenCancelled)
{
    Mosaic unblended(MakeMosaicParameters(1024, 768, 3), paths_, std::make_shared<WorkingImageCache>());
    ColorImage image;
    NullProgress quiet;
    EXPECT_FALSE(ComposeAtScale(unblended, kScale, Projection::Planar, quiet, image));

    const std::unique_ptr<Mosaic> mosaic = Blended(BlendType::Basic);
    test::RecordingProgress cancelling(2);
    EXPECT_FALSE(ComposeAtScale(*mosaic, kScale, Projection::Planar, cancelling, image));
    EXPECT_TRUE(image.empty());
    EXPECT_EQ(cancelling.steps, 2);
    EXPECT_EQ(cancelling.ranges, std::vector<int>{3});
}

}  // namespace
}  // namespace tp
