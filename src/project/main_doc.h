// The project: the ordered source images, the stitching engine built from them, the stitch state, the
// manual edits waiting to be applied and the display choices. Exactly one document exists while the program
// runs; worker threads find it through the process-wide slot (TheDocument()).
#pragma once

#include <array>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "compositing/mosaic.h"
#include "imaging/memory_budget.h"
#include "project/document_types.h"
#include "project/progress_dialog.h"

namespace tp {

class CMainDoc;

// The document for worker threads; null when none exists.
CMainDoc* TheDocument();

// Puts `doc` in the slot for as long as a command on it runs, so that its worker threads reach the document
// the command was given, whichever was made last; the previous occupant comes back afterwards.
class DocumentSlot {
public:
    explicit DocumentSlot(CMainDoc& doc);
    ~DocumentSlot();
    DocumentSlot(const DocumentSlot&) = delete;
    DocumentSlot& operator=(const DocumentSlot&) = delete;

private:
    CMainDoc* previous_;
};

// Front-end hooks the document calls when its contents change (the main frame clears its strip and view).
class DocumentObserver {
public:
    virtual ~DocumentObserver() = default;
    virtual void ContentsDeleted() {}
    virtual void SourceListChanged() {}
    virtual void FrameSelected() {}
};

enum class AddImageResult : int { Added = 0, SizeMismatch = 1, ReadError = 2 };

// A source image read from its file for adding: its thumbnail and its working image. Making one touches
// nothing of a document, so several can be made at once.
struct PreparedImage {
    bool readable = false;
    std::string failure;  // why the file could not be read, for messages that give reasons
    DisplayCopy thumbnail;
    ColorImage working_image;
};
// With a budget, what reading the file holds is reserved from it (helpers reading ahead share one budget).
PreparedImage PrepareImage(const std::string& path, MemoryBudget* budget = nullptr);
enum class AddPosition : int { Head = 0, Tail = 1 };

class CMainDoc {
public:
    CMainDoc();
    ~CMainDoc();
    CMainDoc(const CMainDoc&) = delete;
    CMainDoc& operator=(const CMainDoc&) = delete;

    // --- source list ---
    AddImageResult AddImage(const std::string& path, AddPosition where);
    AddImageResult AddPrepared(const std::string& path, PreparedImage prepared, AddPosition where);
    void RemoveAllImages();
    void RemoveImage(int index);
    // Moves entry `index` to just before entry `before`, or to the end when `before` is the count.
    void MoveImage(int index, int before);
    int image_count() const { return static_cast<int>(images_.size()); }
    const CImageObj& image(int index) const;
    CImageObj& image(int index);
    std::vector<std::string> image_paths() const;

    // --- commands ---
    // Whether a workflow command may run now (ids outside 32772..32775 always may).
    bool CommandAllowed(int command_id) const;
    // Frame k shows pair (k - 1, k) in modification mode; ignored when k is beyond the last image.
    void SelectFrame(int k);
    // Records the edit window's gesture for the current frame (translation or four-point mode).
    void RecordEdit(const std::array<PointD, 4>& first_points, const std::array<PointD, 4>& second_points);

    // --- framework document behaviour ---
    void NewProject();
    void DeleteContents();
    void CloseProject();
    const std::string& title() const { return title_; }
    void set_title(const std::string& title) { title_ = title; }
    const std::string& path_name() const { return path_name_; }
    void set_path_name(const std::string& path) { path_name_ = path; }
    bool modified() const { return modified_; }
    void set_modified(bool modified) { modified_ = modified; }

    // --- state ---
    StitchState stitch_state() const { return state_; }
    void set_stitch_state(StitchState state) { state_ = state; }
    Mosaic* mosaic() { return mosaic_.get(); }
    const Mosaic* mosaic() const { return mosaic_.get(); }
    // The document's exposure-compensation setting goes with the mosaic.
    void set_mosaic(std::unique_ptr<Mosaic> mosaic)
    {
        mosaic_ = std::move(mosaic);
        if (mosaic_) mosaic_->set_exposure_compensation(exposure_compensation_);
    }
    void DeleteMosaic() { mosaic_.reset(); }
    // True when the mosaic holds a wide-view image.
    bool HasWideView() const { return mosaic_ && mosaic_->has_wide_view(); }
    std::vector<PairEdit>& pair_edits() { return pair_edits_; }
    const std::vector<PairEdit>& pair_edits() const { return pair_edits_; }
    // Resizes the edit table to `pairs` records, every mode -1 (whenever a new mosaic is built).
    void ResetPairEdits(int pairs);

    // Exposure compensation in every blend, off by default. A setting of the program rather than of the
    // project: project files do not hold it and closing a project keeps it. It takes effect at the next blend.
    bool exposure_compensation() const { return exposure_compensation_; }
    void set_exposure_compensation(bool on)
    {
        exposure_compensation_ = on;
        if (mosaic_) mosaic_->set_exposure_compensation(on);
    }

    const std::string& project_folder() const { return project_folder_; }
    void set_project_folder(const std::string& folder) { project_folder_ = folder; }
    int current_frame() const { return current_frame_; }
    void set_current_frame(int k) { current_frame_ = k; }
    int selected_point() const { return selected_point_; }
    void set_selected_point(int p) { selected_point_ = p; }
    bool translation_mode() const { return translation_mode_ != 0; }
    void set_translation_mode(bool on) { translation_mode_ = on ? 1 : 0; }
    int projection_command() const { return projection_command_; }
    void set_projection_command(int id) { projection_command_ = id; }
    IntRect& first_image_rect() { return first_image_rect_; }
    IntRect& second_image_rect() { return second_image_rect_; }
    const DisplayCopy& first_pair_copy() const { return pair_copies_[0]; }
    const DisplayCopy& second_pair_copy() const { return pair_copies_[1]; }
    void FreePairCopies();

    ProgressDialog* progress_dialog() const { return progress_dialog_; }
    void set_progress_dialog(ProgressDialog* dialog) { progress_dialog_ = dialog; }

    // What reading source files may hold at once, however many threads read: the decode-ahead of loading
    // and every working image the cache reads again.
    MemoryBudget& memory_budget() const { return *memory_budget_; }
    // Working images shared by every mosaic this document builds (and kept between them).
    std::shared_ptr<WorkingImageSource> working_images() const { return working_images_; }

    void set_observer(DocumentObserver* observer) { observer_ = observer; }
    DocumentObserver* observer() const { return observer_; }

private:
    std::list<CImageObj> images_;
    DisplayCopy pair_copies_[2];
    IntRect first_image_rect_;
    IntRect second_image_rect_;
    std::string project_folder_;
    StitchState state_ = StitchState::Unstitched;
    int current_frame_ = 0;
    int selected_point_ = 0;
    int translation_mode_ = 1;
    std::vector<PairEdit> pair_edits_;
    ProgressDialog* progress_dialog_ = nullptr;  // not owned: the running command's dialog
    std::unique_ptr<Mosaic> mosaic_;
    int projection_command_ = command::kPlanarProjection;
    bool exposure_compensation_ = false;

    std::string title_;
    std::string path_name_;
    bool modified_ = false;
    std::shared_ptr<MemoryBudget> memory_budget_;  // before the cache, which reads within it
    std::shared_ptr<WorkingImageCache> working_images_;
    DocumentObserver* observer_ = nullptr;
};

}  // namespace tp
