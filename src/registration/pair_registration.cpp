#include "registration/pair_registration.h"

#include <array>
#include <cmath>

#include "imaging/parallel.h"
#include "imaging/string_table.h"
#include "registration/homography.h"
#include "registration/phase_correlation.h"
#include "registration/pyramid.h"
#include "registration/pyramid_refinement.h"

namespace tp {

namespace {

constexpr int kStatusSuccess = 0;
constexpr int kStatusFailure = 1;

struct PairImages {
    int width = 0;
    int height = 0;
    Pyramid a;
    Pyramid b;
};

// The first estimate at the coarsest of `levels` levels, for one attempt.
bool InitialEstimate(const SourceAlignment& record, RegistrationMethod method, const PairImages& images, int levels, Matrix& h)
{
    const double scale = 1.0 / std::ldexp(1.0, levels - 1);
    switch (method) {
    case RegistrationMethod::Translation:
        h = TranslationHomography(-record.translation_hint.x * scale, -record.translation_hint.y * scale);
        return true;
    case RegistrationMethod::FourPoints: {
        const float half_w = static_cast<float>(images.width) * 0.5f;
        const float half_h = static_cast<float>(images.height) * 0.5f;
        std::array<PointF, 4> first, second;
        for (std::size_t k = 0; k < 4; ++k) {
            first[k] = {record.first_points[k].x - half_w, record.first_points[k].y - half_h};
            second[k] = {record.second_points[k].x - half_w, record.second_points[k].y - half_h};
        }
        if (!FitHomography(first, second, h)) return false;
        h[0][2] *= scale;
        h[1][2] *= scale;
        return true;
    }
    case RegistrationMethod::Automatic:
    case RegistrationMethod::Never: {
        const std::size_t coarsest = static_cast<std::size_t>(levels) - 1;
        const PhaseCorrelation shift = PhaseCorrelate(images.a[coarsest], images.b[coarsest]);
        h = TranslationHomography(std::trunc(shift.x), std::trunc(shift.y));
        return true;
    }
    }
    return false;
}

bool Attempt(const SourceAlignment& record, RegistrationMethod method, const PairImages& images, int levels, Matrix& h)
{
    if (static_cast<int>(images.a.size()) < levels || static_cast<int>(images.b.size()) < levels) return false;
    if (!InitialEstimate(record, method, images, levels, h)) return false;
    return RefineHomography(images.a, images.b, h, levels);
}

// The result of registering one pair, computed apart from the table so that several pairs can be worked on
// at once and recorded in order.
struct PairOutcome {
    bool registered = false;
    Matrix h;
    Matrix inverse;
};

// Registers pair (first, second) from the first record's hints; reads nothing else of the table.
PairOutcome ComputePair(const SourceAlignment& first, const std::string& second_path, RegistrationMethod method, int levels,
                        WorkingImageSource& images)
{
    PairOutcome outcome;
    Matrix h = Matrix::Identity(3);
    const std::shared_ptr<const ColorImage> a_image = images.Share(first.path);
    const std::shared_ptr<const ColorImage> b_image = a_image ? images.Share(second_path) : nullptr;
    bool registered = false;
    // A file that can no longer be read cannot be compared: the pair is not registered.
    if (a_image && b_image) {
        const ColorImage& a = *a_image;
        const ColorImage& b = *b_image;
        if (a.width() != b.width() || a.height() != b.height()) {
            registered = true;  // images of different sizes are not compared; the pair keeps the identity
        } else {
            PairImages pair{a.width(), a.height(), BuildPyramid(a, levels), BuildPyramid(b, levels)};
            if (method == RegistrationMethod::Automatic) {
                for (int l = levels; l >= 1 && !registered; --l) registered = Attempt(first, method, pair, l, h);
            } else {
                registered = Attempt(first, method, pair, levels, h);
            }
        }
    }
    outcome.registered = registered && TryInverse(h, outcome.inverse);
    outcome.h = std::move(h);
    return outcome;
}

int CommitPair(AlignmentTable& table, int i, RegistrationMethod method, const PairOutcome& outcome)
{
    table[static_cast<std::size_t>(i)].method = static_cast<int>(method);
    if (outcome.registered) {
        StorePairResult(table, i, outcome.h, outcome.inverse, 1.0);
        return kStatusSuccess;
    }
    ClearPairResult(table, i);
    return kStatusFailure;
}

}  // namespace

int RegisterPair(AlignmentTable& table, int i, RegistrationMethod method, int levels, WorkingImageSource& images)
{
    const SourceAlignment& first = table[static_cast<std::size_t>(i)];
    return CommitPair(table, i, method, ComputePair(first, table[static_cast<std::size_t>(i) + 1].path, method, levels, images));
}

bool RegisterNeighbours(AlignmentTable& table, int levels, WorkingImageSource& images, Progress& progress)
{
    const int n = static_cast<int>(table.size());
    progress.SetText(strings::kFindingCorrespondences);
    progress.SetRange(n);
    const int pairs = std::max(n - 1, 0);
    // Pairs are registered ahead on helper threads and recorded here in order, one progress step each; a
    // cancel stops before anything further is recorded.
    const AlignmentTable inputs = table;
    bool cancelled = false;
    OrderedPipeline<PairOutcome>(
        pairs,
        [&](int i) {
            return ComputePair(inputs[static_cast<std::size_t>(i)], inputs[static_cast<std::size_t>(i) + 1].path,
                               RegistrationMethod::Automatic, levels, images);
        },
        [&](int i, PairOutcome& outcome) {
            CommitPair(table, i, RegistrationMethod::Automatic, outcome);
            cancelled = progress.Step();
            return !cancelled;
        });
    return !cancelled;
}

}  // namespace tp
