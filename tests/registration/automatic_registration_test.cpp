// The automatic method on views with a known truth: right within a pixel from small to large overlaps, and
// declined (never wrong) where the images cannot tell.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "registration/homography.h"
#include "registration/pair_registration.h"
#include "synthetic_views.h"

namespace tp {
namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

Matrix Rows(std::initializer_list<double> values)
{
    Matrix m(3, 3);
    std::copy(values.begin(), values.end(), m.data());
    return m;
}

// A's centred coordinates -> B's for a camera of focal length f turned by yaw and rolled by roll between
// the two shots: K R K^-1.
Matrix CameraTurn(double yaw, double roll, double f)
{
    const double cy = std::cos(yaw), sy = std::sin(yaw), cr = std::cos(roll), sr = std::sin(roll);
    const Matrix k = Rows({f, 0, 0, 0, f, 0, 0, 0, 1});
    const Matrix k_inverse = Rows({1 / f, 0, 0, 0, 1 / f, 0, 0, 0, 1});
    const Matrix turn = Rows({cy, 0, -sy, 0, 1, 0, sy, 0, cy});
    const Matrix rolled = Rows({cr, -sr, 0, sr, cr, 0, 0, 0, 1});
    Matrix h = k * rolled * turn * k_inverse;
    const double scale = h[2][2];
    for (int i = 0; i < 9; ++i) h.data()[i] /= scale;
    return h;
}

// A second exposure: brighter or darker by `gain`, with sensor noise of its own.
ColorImage Reexposed(const ColorImage& image, double gain, double noise, unsigned seed)
{
    ColorImage out = image;
    std::mt19937 rng(seed);
    std::normal_distribution<double> gauss(0.0, noise);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            for (int c = 0; c < 3; ++c)
                out.at(x, y, c) = static_cast<std::uint8_t>(std::clamp(image.at(x, y, c) * gain + gauss(rng) + 0.5, 0.0, 255.0));
    return out;
}

struct Pair {
    AlignmentTable table;
    test::MemoryWorkingImages images;
    int width;
    int height;
};

// Views of `scene` through A (looking at its centre) and B (seeing A's content through `a_to_b`).
Pair ViewsOf(const ColorImage& scene, const Matrix& a_to_b, int width, int height, double gain = 1.0, double noise = 0.0)
{
    const Matrix a_to_scene = TranslationHomography(scene.width() / 2, scene.height() / 2);
    Pair pair{AlignmentTable(2), {}, width, height};
    pair.images.Put("a.png", test::RenderView(scene, a_to_scene, width, height));
    const ColorImage b = test::RenderView(scene, a_to_scene * Inverse(a_to_b), width, height);
    pair.images.Put("b.png", noise > 0 || gain != 1.0 ? Reexposed(b, gain, noise, 5) : b);
    pair.table[0].path = "a.png";
    pair.table[1].path = "b.png";
    return pair;
}

int Register(Pair& pair, RegistrationMethod method = RegistrationMethod::Automatic)
{
    return RegisterPair(pair.table, 0, method, pair.width * pair.height <= 307200 ? 3 : 4, pair.images);
}

TEST(AutomaticRegistration, SmallToLargeOverlapsLandWithinAPixel)
{
    struct Case {
        double overlap;
        double roll_degrees;
        double gain;
        double noise;
    };
    const Case cases[] = {{0.15, 0.0, 1.0, 0.0}, {0.20, 1.5, 1.2, 2.0}, {0.30, -2.0, 0.8, 3.0}, {0.45, 1.0, 1.0, 2.0}};
    constexpr int kWidth = 480, kHeight = 360;
    const double f = 1.5 * kWidth;
    const ColorImage scene = test::MakeScene(3 * kWidth, 2 * kHeight, 11);
    for (const Case& c : cases) {
        const Matrix truth = CameraTurn(std::atan(kWidth * (1 - c.overlap) / f), c.roll_degrees * kDegree, f);
        Pair pair = ViewsOf(scene, truth, kWidth, kHeight, c.gain, c.noise);
        ASSERT_EQ(Register(pair), 0) << "overlap " << c.overlap;
        EXPECT_EQ(pair.table[0].verdict, PairVerdict::Verified);
        EXPECT_GE(pair.table[0].pair_score, 0.3f);
        EXPECT_LE(test::OverlapError(pair.table[0].to_next, truth, kWidth, kHeight), 1.0) << "overlap " << c.overlap;
    }
}

TEST(AutomaticRegistration, ImagesThatCannotTellAreDeclinedNeverMisaligned)
{
    constexpr int kWidth = 400, kHeight = 300;
    // A clear sky: a smooth ramp from the horizon up, with faint noise of its own in each shot.
    ColorImage sky(3 * kWidth, 2 * kHeight);
    for (int y = 0; y < sky.height(); ++y)
        for (int x = 0; x < sky.width(); ++x) {
            const double v = 120 + 90.0 * y / sky.height() + 10.0 * std::sin(x * 0.002);
            sky.at(x, y, 0) = static_cast<std::uint8_t>(v + 40);
            sky.at(x, y, 1) = static_cast<std::uint8_t>(v);
            sky.at(x, y, 2) = static_cast<std::uint8_t>(v - 40);
        }
    // Blinds: vertical slats every 23 pixels and nothing else to go by.
    ColorImage blinds(3 * kWidth, 2 * kHeight);
    for (int y = 0; y < blinds.height(); ++y)
        for (int x = 0; x < blinds.width(); ++x) {
            const auto v = static_cast<std::uint8_t>(128 + 100 * std::sin(2 * 3.14159265 * x / 23.0));
            for (int c = 0; c < 3; ++c) blinds.at(x, y, c) = v;
        }
    struct Case {
        const char* name;
        const ColorImage& scene;
        double shift;
        double noise;
        bool must_decline;
    };
    const Case cases[] = {{"sky, half overlap", sky, 200, 1.5, true},
                          {"sky, small overlap", sky, 320, 1.5, true},
                          {"blinds, shifted by whole slats", blinds, 230, 1.0, false},
                          {"blinds, shifted between slats", blinds, 251, 1.0, false}};
    for (const Case& c : cases) {
        const Matrix truth = TranslationHomography(-c.shift, 0);
        Pair pair = ViewsOf(c.scene, truth, kWidth, kHeight, 1.0, c.noise);
        StorePairResult(pair.table, 0, TranslationHomography(3, 0), TranslationHomography(-3, 0), 1.0);
        const int status = Register(pair);
        if (status != 0 || c.must_decline) {
            EXPECT_NE(status, 0) << c.name;
            EXPECT_EQ(pair.table[0].verdict, PairVerdict::Declined) << c.name;
            EXPECT_EQ(pair.table[0].has_next, 0) << c.name;
            EXPECT_EQ(pair.table[1].has_previous, 0) << c.name;
            EXPECT_EQ(pair.table[0].to_next, TranslationHomography(3, 0)) << c.name << ": a declined pair keeps its homographies";
        } else {
            EXPECT_LE(test::OverlapError(pair.table[0].to_next, truth, kWidth, kHeight), 1.0) << c.name << " registered, so it must be right";
        }
    }
}

TEST(AutomaticRegistration, TheUsersHintsRegisterAsBeforeAndAreScored)
{
    constexpr int kWidth = 400, kHeight = 300;
    const Matrix truth = TranslationHomography(-250, 6);
    const ColorImage scene = test::MakeScene(3 * kWidth, 2 * kHeight, 4);
    struct Case {
        const char* name;
        PointF hint;
        PairVerdict verdict;
    };
    // The second hint points at a part of B that does not show A's content: registered as the user asked,
    // but marked for a look.
    const Case cases[] = {{"good drag", {250, -6}, PairVerdict::Verified}, {"drag the wrong way", {-60, 40}, PairVerdict::Unverified}};
    for (const Case& c : cases) {
        Pair pair = ViewsOf(scene, truth, kWidth, kHeight);
        pair.table[0].translation_hint = c.hint;
        if (Register(pair, RegistrationMethod::Translation) != 0) {
            // The refinement may find nothing to hold on to from a bad hint; it must then say so.
            EXPECT_EQ(pair.table[0].verdict, PairVerdict::Failed) << c.name;
            EXPECT_NE(c.verdict, PairVerdict::Verified) << c.name;
            continue;
        }
        EXPECT_EQ(pair.table[0].verdict, c.verdict) << c.name;
        EXPECT_GT(pair.table[0].pair_score, -1.0f) << c.name;
        if (c.verdict == PairVerdict::Verified) {
            EXPECT_LE(test::OverlapError(pair.table[0].to_next, truth, kWidth, kHeight), 1.0);
        }
    }
    Pair unreadable = ViewsOf(scene, truth, kWidth, kHeight);
    unreadable.images.Remove("b.png");
    EXPECT_NE(Register(unreadable), 0);
    EXPECT_EQ(unreadable.table[0].verdict, PairVerdict::Failed);
}

}  // namespace
}  // namespace tp
