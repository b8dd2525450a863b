#include "registration/pair_registration.h"

#include <array>
#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

#include "imaging/parallel.h"
#include "imaging/string_table.h"
#include "registration/automatic_registration.h"
#include "registration/verification.h"
#include "registration/homography.h"
#include "registration/pyramid.h"
#include "registration/pyramid_refinement.h"

namespace tp {

namespace {

constexpr int kStatusSuccess = 0;
constexpr int kStatusFailure = 1;

struct PairImages {
    int width = 0;
    int height = 0;
    const Pyramid& a;
    const Pyramid& b;
};

// What registration reads of each source, made from its working image. Inside one registration run every
// source but the first and last belongs to two pairs, so the run builds it once and lends it to both.
class SharedSourceLevels {
public:
    SharedSourceLevels(int count, int levels) : slots_(static_cast<std::size_t>(count)), levels_(levels) {}
    std::shared_ptr<const SourceLevels> Get(int index, const std::shared_ptr<const ColorImage>& image)
    {
        Slot& slot = slots_[static_cast<std::size_t>(index)];
        std::call_once(slot.once, [&] {
            slot.image = image;
            slot.levels = std::make_shared<const SourceLevels>(BuildSourceLevels(*image, levels_));
        });
        // Lent only for the very image it was made from: a source read again (its file changed, or nothing
        // keeps working images) gets one of its own.
        if (slot.image == image) return slot.levels;
        return std::make_shared<const SourceLevels>(BuildSourceLevels(*image, levels_));
    }

private:
    struct Slot {
        std::once_flag once;
        std::shared_ptr<const ColorImage> image;  // held, so that its address cannot be reused meanwhile
        std::shared_ptr<const SourceLevels> levels;
    };
    std::vector<Slot> slots_;
    int levels_;
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
    case RegistrationMethod::Never:
        break;
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
    PairVerdict verdict = PairVerdict::Failed;
    float score = -1.0f;
};

// Registers pair (i, i + 1) from the first record's hints; reads nothing else of the table.
PairOutcome ComputePair(int i, const SourceAlignment& first, const std::string& second_path, RegistrationMethod method,
                        int levels, WorkingImageSource& images, SharedSourceLevels& sources)
{
    PairOutcome outcome;
    const std::shared_ptr<const ColorImage> a_image = images.Share(first.path);
    const std::shared_ptr<const ColorImage> b_image = a_image ? images.Share(second_path) : nullptr;
    // A file that can no longer be read cannot be compared: the pair is not registered.
    if (!a_image || !b_image) return outcome;
    const ColorImage& a = *a_image;
    const ColorImage& b = *b_image;
    Matrix h = Matrix::Identity(3);
    if (a.width() != b.width() || a.height() != b.height()) {
        // Images of different sizes are not compared; the pair keeps the identity, which nothing verifies.
        outcome.registered = TryInverse(h, outcome.inverse);
        outcome.verdict = PairVerdict::Unverified;
        outcome.h = std::move(h);
        return outcome;
    }
    const std::shared_ptr<const SourceLevels> a_levels = sources.Get(i, a_image);
    const std::shared_ptr<const SourceLevels> b_levels = sources.Get(i + 1, b_image);
    if (method == RegistrationMethod::Automatic) {
        const PairResult result = RegisterAutomatically(*a_levels, *b_levels, levels);
        outcome.verdict = result.verdict;
        outcome.score = Evidence(result.score);
        outcome.registered = result.verdict == PairVerdict::Verified && TryInverse(result.h, outcome.inverse);
        if (outcome.registered) outcome.h = result.h;
        return outcome;
    }
    const PairImages pair{a.width(), a.height(), a_levels->pyramid, b_levels->pyramid};
    outcome.registered = Attempt(first, method, pair, levels, h) && TryInverse(h, outcome.inverse);
    if (!outcome.registered) return outcome;
    const OverlapScore score = ScorePair(*a_levels, *b_levels, h);
    outcome.score = Evidence(score);
    outcome.verdict = IsVerified(score) ? PairVerdict::Verified : PairVerdict::Unverified;
    outcome.h = std::move(h);
    return outcome;
}

int CommitPair(AlignmentTable& table, int i, RegistrationMethod method, const PairOutcome& outcome)
{
    SourceAlignment& record = table[static_cast<std::size_t>(i)];
    record.method = static_cast<int>(method);
    record.verdict = outcome.verdict;
    record.pair_score = outcome.score;
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
    SharedSourceLevels sources(static_cast<int>(table.size()), levels);
    return CommitPair(table, i, method,
                      ComputePair(i, first, table[static_cast<std::size_t>(i) + 1].path, method, levels, images, sources));
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
    SharedSourceLevels sources(n, levels);
    bool cancelled = false;
    OrderedPipeline<PairOutcome>(
        pairs,
        [&](int i) {
            return ComputePair(i, inputs[static_cast<std::size_t>(i)], inputs[static_cast<std::size_t>(i) + 1].path,
                               RegistrationMethod::Automatic, levels, images, sources);
        },
        [&](int i, PairOutcome& outcome) {
            CommitPair(table, i, RegistrationMethod::Automatic, outcome);
            cancelled = progress.Step();
            return !cancelled;
        });
    return !cancelled;
}

}  // namespace tp
