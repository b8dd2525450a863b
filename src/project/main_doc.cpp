#include "project/main_doc.h"

#include <atomic>
#include <filesystem>
#include <iterator>

#include "imaging/image_file.h"
#include "imaging/image_ops.h"
#include "imaging/reduced_read.h"
#include "imaging/string_table.h"

namespace tp {

namespace {

// The one document of the process, for worker threads that have no other way to reach it.
std::atomic<CMainDoc*> g_document{nullptr};

constexpr int kThumbnailSide = 320;
constexpr int kPairCopySide = 1024;

}  // namespace

CMainDoc* TheDocument() { return g_document.load(); }

DocumentSlot::DocumentSlot(CMainDoc& doc) : previous_(g_document.exchange(&doc)) {}

DocumentSlot::~DocumentSlot() { g_document.store(previous_); }

CMainDoc::CMainDoc()
    : memory_budget_(std::make_shared<MemoryBudget>()),
      working_images_(std::make_shared<WorkingImageCache>(WorkingImageCache::kDefaultBytes, memory_budget_))
{
    g_document.store(this);
}

CMainDoc::~CMainDoc()
{
    CMainDoc* self = this;
    g_document.compare_exchange_strong(self, nullptr);
}

// A reason for a file that did not read, in a few words.
std::string WhyUnreadable(const std::string& path, int code)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) return "no such file";
    if (!std::filesystem::is_regular_file(status)) return "not a regular file";
    return DescribeReadResult(DetectImageFormat(path), code);
}

PreparedImage PrepareImage(const std::string& path, MemoryBudget* budget)
{
    // One read serves the thumbnail and, kept for the stitch that follows, the working image; both are
    // reduced while the file is read, so the picture is never held at full size.
    PreparedImage prepared;
    ReducedPicture picture;
    const int code = path.empty() ? -1 : ReadReduced(path, ReductionRequest{kWorkingBound, kWorkingBound, kThumbnailSide}, picture, budget);
    if (code != 0) {
        prepared.failure = WhyUnreadable(path, code);
        return prepared;
    }
    if (!prepared.thumbnail.SetReduced(std::move(picture.nearest), picture.full_width, picture.full_height)) {
        prepared.failure = "not enough memory for its thumbnail";
        return prepared;
    }
    prepared.working_image = std::move(picture.fitted);
    prepared.readable = true;
    return prepared;
}

AddImageResult CMainDoc::AddImage(const std::string& path, AddPosition where) { return AddPrepared(path, PrepareImage(path, memory_budget_.get()), where); }

AddImageResult CMainDoc::AddPrepared(const std::string& path, PreparedImage prepared, AddPosition where)
{
    if (!prepared.readable) return AddImageResult::ReadError;
    CImageObj entry;
    entry.path = path;
    entry.thumbnail = std::move(prepared.thumbnail);
    if (!images_.empty()) {
        const DisplayCopy& head = images_.front().thumbnail;
        if (entry.thumbnail.full_width() != head.full_width() || entry.thumbnail.full_height() != head.full_height())
            return AddImageResult::SizeMismatch;
    }
    // A path listed again brings no working image of its own: the cache keeps (or reads again) the first.
    if (!prepared.working_image.empty()) working_images_->Insert(path, std::move(prepared.working_image));
    if (where == AddPosition::Head)
        images_.push_front(std::move(entry));
    else
        images_.push_back(std::move(entry));
    return AddImageResult::Added;
}

void CMainDoc::RemoveAllImages() { images_.clear(); }

void CMainDoc::RemoveImage(int index)
{
    if (index < 0 || index >= image_count()) return;
    images_.erase(std::next(images_.begin(), index));
}

void CMainDoc::MoveImage(int index, int before)
{
    if (index < 0 || index >= image_count() || before < 0 || before > image_count() || before == index) return;
    const auto from = std::next(images_.begin(), index);
    const auto to = before == image_count() ? images_.end() : std::next(images_.begin(), before);
    images_.splice(to, images_, from);
}

const CImageObj& CMainDoc::image(int index) const { return *std::next(images_.begin(), index); }
CImageObj& CMainDoc::image(int index) { return *std::next(images_.begin(), index); }

std::vector<std::string> CMainDoc::image_paths() const
{
    std::vector<std::string> paths;
    for (const CImageObj& entry : images_) paths.push_back(entry.path);
    return paths;
}

bool CMainDoc::CommandAllowed(int command_id) const
{
    switch (command_id) {
    case command::kStitch: return image_count() > 1;
    case command::kFinalize: return state_ != StitchState::Unstitched && HasWideView();
    case command::kCrop:
    case command::kExport: return HasWideView();
    default: return true;
    }
}

void CMainDoc::SelectFrame(int k)
{
    if (k > image_count() - 1 || k < 1) return;
    current_frame_ = k;
    pair_copies_[0].Load(image(k - 1).path, kPairCopySide);
    pair_copies_[1].Load(image(k).path, kPairCopySide);
    if (observer_) observer_->FrameSelected();
}

void CMainDoc::FreePairCopies()
{
    pair_copies_[0].Free();
    pair_copies_[1].Free();
}

void CMainDoc::RecordEdit(const std::array<PointD, 4>& first_points, const std::array<PointD, 4>& second_points)
{
    const std::size_t pair = static_cast<std::size_t>(current_frame_) - 1;
    if (current_frame_ < 1 || pair >= pair_edits_.size()) return;
    PairEdit& edit = pair_edits_[pair];
    edit.modified = 1;
    if (translation_mode()) {
        // The first image's on-screen width over its display width gives the screen scale; undo it.
        const double shown_width = first_image_rect_.right - first_image_rect_.left;
        const double s = shown_width != 0.0 ? 1.0 / (shown_width / pair_copies_[0].display_width()) : 0.0;
        edit.translation_x = static_cast<float>((second_image_rect_.left - first_image_rect_.left) * s);
        edit.translation_y = static_cast<float>((second_image_rect_.top - first_image_rect_.top) * s);
        edit.first_points.assign(4, PointF{});
        edit.second_points.assign(4, PointF{});
        edit.mode = static_cast<int>(RegistrationMethod::Translation);
    } else {
        edit.first_points.resize(4);
        edit.second_points.resize(4);
        for (std::size_t j = 0; j < 4; ++j) {
            edit.first_points[j] = {static_cast<float>(first_points[j].x), static_cast<float>(first_points[j].y)};
            edit.second_points[j] = {static_cast<float>(second_points[j].x), static_cast<float>(second_points[j].y)};
        }
        edit.translation_x = edit.translation_y = 0.0f;
        edit.mode = static_cast<int>(RegistrationMethod::FourPoints);
    }
}

void CMainDoc::ResetPairEdits(int pairs) { pair_edits_.assign(static_cast<std::size_t>(std::max(pairs, 0)), PairEdit{}); }

void CMainDoc::NewProject()
{
    DeleteContents();
    path_name_.clear();
    modified_ = false;
    title_ = LoadString(strings::kUntitled);
}

void CMainDoc::DeleteContents()
{
    RemoveAllImages();
    current_frame_ = 0;
    selected_point_ = 0;
    translation_mode_ = 1;
    state_ = StitchState::Unstitched;
    projection_command_ = command::kPlanarProjection;
    mosaic_.reset();
    if (observer_) observer_->ContentsDeleted();
}

void CMainDoc::CloseProject()
{
    RemoveAllImages();
    mosaic_.reset();
    path_name_.clear();
    modified_ = false;
}

}  // namespace tp
