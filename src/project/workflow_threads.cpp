// The worker threads. They reach the document only through TheDocument() and report to its progress
// dialog; messages to the user go through the reporting hook.
#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>

#include "imaging/fatal_error.h"
#include "imaging/parallel.h"
#include "imaging/string_table.h"
#include "project/workflow.h"

namespace tp {

namespace {

constexpr std::size_t kLabelNameLength = 47;

CMainDoc& Doc() { return *TheDocument(); }
ProgressDialog& Dialog() { return *Doc().progress_dialog(); }

void ReportFile(const std::string& path, int string_id) { ShowMessage(FileNameOf(path) + LoadString(string_id)); }

// The same with why, for front ends that show it: the whole path and the reader's reason.
void ReportFile(const std::string& path, int string_id, const std::string& reason)
{
    ShowMessage(FileNameOf(path) + LoadString(string_id), reason.empty() ? path : path + ": " + reason);
}

// Builds a new mosaic for the current source list; false when the user cancels or the first source cannot be
// read any more.
bool InitializeMosaic(CMainDoc& doc, ProgressDialog& dialog)
{
    dialog.SetText(strings::kInitialization);
    dialog.SetRange(2);
    const std::vector<std::string> paths = doc.image_paths();
    MosaicParameters parameters;
    if (!FillMosaicParameters(doc, parameters)) {
        if (!paths.empty()) ReportFile(paths.front(), strings::kReadingError);
        return false;
    }
    doc.DeleteMosaic();
    dialog.Step();
    doc.set_mosaic(std::make_unique<Mosaic>(parameters, paths, doc.working_images()));
    doc.ResetPairEdits(static_cast<int>(paths.size()) - 1);
    return !dialog.Step();
}

// Which file a path names: its device and inode, so that links and other spellings of one file are one file;
// the path itself when the file cannot be looked at (it will fail to read under its own name).
std::string FileIdentity(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return "path:" + path;
    return "file:" + std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
}

// For every source, the index of the first source naming the same file: a file listed again is read once.
std::vector<std::size_t> FirstOccurrences(const std::vector<std::string>& paths)
{
    std::map<std::string, std::size_t> first;
    std::vector<std::size_t> result(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) result[i] = first.emplace(FileIdentity(paths[i]), i).first->second;
    return result;
}

// Reads the sources ahead on helper threads and hands each to `add` in order. A file listed again (under any
// name) is not read again: it gets the thumbnail made for its first listing (shared, not copied), and its working image stays
// the one in the cache.
void PrepareInOrder(const std::vector<std::string>& paths, MemoryBudget& budget,
                    const std::function<bool(int, PreparedImage&)>& add)
{
    const std::vector<std::size_t> first = FirstOccurrences(paths);
    std::map<std::size_t, DisplayCopy> thumbnails;
    OrderedPipeline<PreparedImage>(
        static_cast<int>(paths.size()),
        [&](int i) {
            const auto k = static_cast<std::size_t>(i);
            return first[k] == k ? PrepareImage(paths[k], &budget) : PreparedImage{};
        },
        [&](int i, PreparedImage& prepared) {
            const auto k = static_cast<std::size_t>(i);
            if (first[k] != k) {
                prepared.readable = true;
                prepared.thumbnail = thumbnails.at(first[k]);
            } else if (prepared.readable) {
                thumbnails.emplace(k, prepared.thumbnail);
            }
            return add(i, prepared);
        });
}

}  // namespace

std::string FileNameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ThumbnailLabel(const std::string& path)
{
    return LoadString(strings::kCreatingThumbnail) + FileNameOf(path).substr(0, kLabelNameLength) + "...";
}

bool FillMosaicParameters(CMainDoc& doc, MosaicParameters& parameters)
{
    if (doc.image_count() == 0) return false;
    const std::shared_ptr<const ColorImage> first = doc.working_images()->Share(doc.image(0).path);
    if (!first || first->empty()) return false;
    parameters = MakeMosaicParameters(first->width(), first->height(), doc.image_count());
    return true;
}

void LoadImagesThread(const std::vector<std::string>& paths)
{
    CMainDoc& doc = Doc();
    ProgressDialog& dialog = Dialog();
    dialog.SetCaption(strings::kLoading);
    dialog.SetRange(static_cast<int>(paths.size()));
    // Files are read ahead on helper threads; each is added here in order, its label shown while it is
    // awaited.
    PrepareInOrder(paths, doc.memory_budget(), [&](int i, PreparedImage& prepared) {
            const std::string& path = paths[static_cast<std::size_t>(i)];
            dialog.SetLabel(ThumbnailLabel(path));
            const std::string failure = prepared.failure;
            const AddImageResult result = doc.AddPrepared(path, std::move(prepared), AddPosition::Tail);
            if (result == AddImageResult::SizeMismatch) {
                ReportFile(path, strings::kSizeNotEqual, "");
                return false;
            }
            if (result == AddImageResult::ReadError) {
                ReportFile(path, strings::kReadingError, failure);
                return false;
            }
            dialog.Step();
            return true;
        });
    dialog.Close();
}

void LoadProjectThread(const std::vector<std::string>& paths)
{
    CMainDoc& doc = Doc();
    ProgressDialog& dialog = Dialog();
    dialog.SetCaption(strings::kLoading);
    dialog.SetText(strings::kLoading);
    dialog.SetRange(static_cast<int>(paths.size()) + 1);
    bool complete = true;
    PrepareInOrder(paths, doc.memory_budget(), [&](int i, PreparedImage& prepared) {
            const std::string& path = paths[static_cast<std::size_t>(i)];
            dialog.SetLabel(ThumbnailLabel(path));
            const std::string failure = prepared.failure;
            if (doc.AddPrepared(path, std::move(prepared), AddPosition::Tail) != AddImageResult::Added) {
                ReportFile(path, strings::kReadingError, failure);
                complete = false;
                return false;
            }
            dialog.Step();
            return true;
        });
    if (!complete) {
        dialog.Close();
        return;
    }
    MosaicParameters parameters;
    if (!FillMosaicParameters(doc, parameters)) {
        if (!paths.empty()) ReportFile(paths.front(), strings::kReadingError);
        dialog.Close();
        return;
    }
    doc.DeleteMosaic();
    doc.set_mosaic(std::make_unique<Mosaic>(parameters, paths, doc.working_images()));
    doc.ResetPairEdits(static_cast<int>(paths.size()) - 1);
    dialog.Close();
}

void RebuildMosaicThread()
{
    CMainDoc& doc = Doc();
    ProgressDialog& dialog = Dialog();
    dialog.SetCaption(strings::kImageStitching);
    dialog.SetText(strings::kSettingMosaicParameters);
    dialog.SetRange(1);
    if (!doc.mosaic()->UpdateGeometry()) ShowMessage(LoadString(strings::kSystemMemoryNotSufficient));
    dialog.Step();
    doc.mosaic()->Blend(BlendType::Basic, dialog);
    dialog.Close();
}

void StitchThread(StitchMethod method)
{
    CMainDoc& doc = Doc();
    ProgressDialog& dialog = Dialog();
    dialog.SetCaption(strings::kImageStitching);
    if (method == StitchMethod::Automatic) {
        if (!InitializeMosaic(doc, dialog)) {
            dialog.Close();
            return;
        }
        if (!doc.mosaic()->RegisterAll(dialog)) {
            doc.set_stitch_state(StitchState::Unstitched);
            dialog.Close();
            return;
        }
        if (!doc.mosaic()->Blend(BlendType::Basic, dialog)) {
            dialog.Close();
            return;
        }
        doc.set_stitch_state(StitchState::Stitched);
    } else {
        if ((doc.stitch_state() == StitchState::Unstitched || !doc.mosaic()) && !InitializeMosaic(doc, dialog)) {
            dialog.Close();
            return;
        }
        if (doc.stitch_state() == StitchState::Finalized) {
            if (!doc.mosaic()->Blend(BlendType::Basic, dialog)) {
                dialog.Close();
                return;
            }
            doc.set_stitch_state(StitchState::Stitched);
        }
        doc.set_current_frame(1);
        doc.set_selected_point(1);
        const std::vector<PairEdit>& edits = doc.pair_edits();
        doc.set_translation_mode(edits.empty() || edits.front().mode != static_cast<int>(RegistrationMethod::FourPoints));
        for (std::size_t i = 0; i < doc.pair_edits().size(); ++i) {
            PairEdit& edit = doc.pair_edits()[i];
            const SourceAlignment& record = doc.mosaic()->alignment(static_cast<int>(i));
            edit.modified = 0;
            edit.translation_x = record.translation_hint.x;
            edit.translation_y = record.translation_hint.y;
            edit.first_points.assign(record.first_points.begin(), record.first_points.end());
            edit.second_points.assign(record.second_points.begin(), record.second_points.end());
        }
    }
    for (std::size_t i = 0; i < doc.pair_edits().size(); ++i)
        doc.pair_edits()[i].mode = doc.mosaic()->alignment(static_cast<int>(i)).method;
    dialog.Close();
}

void FinalizeThread(FinalizeMethod method)
{
    CMainDoc& doc = Doc();
    ProgressDialog& dialog = Dialog();
    dialog.SetCaption(strings::kFinalization);
    // The re-alignment reports its own progress and failures; blending goes ahead whatever it returns.
    if (method == FinalizeMethod::RealignmentAndAdvancedBlending) doc.mosaic()->Realign(dialog);
    dialog.SetLabel(LoadString(strings::kFinalizingWideView));
    if (doc.mosaic()->Blend(BlendType::Advanced, dialog)) doc.set_stitch_state(StitchState::Finalized);
    dialog.Close();
}

void ApplyEditsThread(Progress& bar)
{
    CMainDoc& doc = Doc();
    Mosaic& mosaic = *doc.mosaic();
    const int pairs = std::min(static_cast<int>(doc.pair_edits().size()), mosaic.source_count() - 1);
    for (int i = 0; i < pairs; ++i) {
        PairEdit& edit = doc.pair_edits()[static_cast<std::size_t>(i)];
        if (!edit.modified) continue;
        SourceAlignment& record = mosaic.alignment(i);
        auto copy_points = [&] {
            for (std::size_t j = 0; j < 4 && j < edit.first_points.size() && j < edit.second_points.size(); ++j) {
                record.first_points[j] = edit.first_points[j];
                record.second_points[j] = edit.second_points[j];
            }
        };
        if (edit.mode == static_cast<int>(RegistrationMethod::Translation)) {
            record.translation_hint = {edit.translation_x, edit.translation_y};
            mosaic.RegisterPair(i, RegistrationMethod::Translation);
        } else {
            copy_points();
            mosaic.RegisterPair(i, RegistrationMethod::FourPoints);
            copy_points();
        }
        edit.modified = 0;
    }
    if (!mosaic.UpdateGeometry()) ShowMessage(LoadString(strings::kSystemMemoryNotSufficient));
    mosaic.Blend(BlendType::Basic, bar);
}

}  // namespace tp
