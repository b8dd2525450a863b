// The command side of the workflow: the calling (interface) thread creates the dialog, lets the worker run
// and then settles the document's state.
#include <new>
#include <system_error>
#include <thread>

#include "project/workflow.h"

#include "imaging/fatal_error.h"
#include "imaging/image_file.h"
#include "imaging/string_table.h"
#include "project/project_file.h"

namespace tp {

namespace {

// The dialog a command shows, registered with the document for the worker's use.
class CommandDialog {
public:
    CommandDialog(CMainDoc& doc, WorkflowHost& host, bool cancellable)
        : doc_(doc), slot_(doc), dialog_(host.MakeProgressDialog(cancellable))
    {
        doc_.set_progress_dialog(dialog_.get());
    }
    ~CommandDialog() { doc_.set_progress_dialog(nullptr); }
    CommandDialog(const CommandDialog&) = delete;
    CommandDialog& operator=(const CommandDialog&) = delete;
    ProgressDialog& operator*() { return *dialog_; }
    ProgressDialog* get() { return dialog_.get(); }

private:
    CMainDoc& doc_;
    DocumentSlot slot_;
    std::unique_ptr<ProgressDialog> dialog_;
};

}  // namespace

void WorkflowHost::RunWorker(ProgressDialog*, const std::function<void()>& worker)
{
    // Memory that runs out inside the work is reported with the system's message instead of ending the
    // program; a worker thread the system will not start runs on this thread instead.
    const auto guarded = [&worker] {
        try {
            worker();
        } catch (const std::bad_alloc&) {
            ShowMessage(LoadString(strings::kMemoryAllocationFailed));
        }
    };
    try {
        std::thread thread(guarded);
        thread.join();
    } catch (const std::system_error&) {
        guarded();
    }
}

void LoadSourceImages(CMainDoc& doc, WorkflowHost& host, const std::vector<std::string>& paths)
{
    // A project that could not be opened again is never made.
    if (static_cast<std::size_t>(doc.image_count()) + paths.size() > static_cast<std::size_t>(kMaxSourceImages)) {
        ShowMessage(LoadString(strings::kTooManySourceImages));
        return;
    }
    {
        CommandDialog dialog(doc, host, false);
        host.RunWorker(dialog.get(), [&] { LoadImagesThread(paths); });
    }
    if (doc.observer()) doc.observer()->SourceListChanged();
    doc.set_modified(true);
    doc.set_stitch_state(StitchState::Unstitched);
}

StitchOutcome StitchSourceImages(CMainDoc& doc, WorkflowHost& host, StitchMethod method)
{
    StitchOutcome outcome;
    if (!doc.CommandAllowed(command::kStitch)) return outcome;
    outcome.ran = true;
    {
        CommandDialog dialog(doc, host, true);
        host.RunWorker(dialog.get(), [method] { StitchThread(method); });
        outcome.cancelled = (*dialog).cancel_requested();
    }
    if (method == StitchMethod::Automatic) {
        if (outcome.cancelled || doc.stitch_state() == StitchState::Unstitched) {
            doc.set_stitch_state(StitchState::Unstitched);
            return outcome;
        }
        outcome.show_result = true;
    } else {
        outcome.show_result = doc.mosaic() != nullptr;
    }
    return outcome;
}

bool FinalizeWideView(CMainDoc& doc, WorkflowHost& host, FinalizeMethod method)
{
    if (!doc.CommandAllowed(command::kFinalize)) return false;
    {
        CommandDialog dialog(doc, host, true);
        host.RunWorker(dialog.get(), [method] { FinalizeThread(method); });
    }
    return doc.stitch_state() == StitchState::Finalized;
}

void ApplyEdits(CMainDoc& doc, WorkflowHost& host, Progress& bar)
{
    if (!doc.mosaic()) return;
    // No dialog: the main frame is disabled meanwhile and the worker reports to its status bar.
    const DocumentSlot slot(doc);
    host.RunWorker(nullptr, [&bar] { ApplyEditsThread(bar); });
    doc.set_stitch_state(StitchState::Stitched);
    doc.set_modified(true);
}

int ComposeForOutput(CMainDoc& doc, WorkflowHost& host, const WideView& view, double scale, int caption, ColorImage& image)
{
    if (scale == 1.0) {
        image = view.CroppedImage();
        return 0;
    }
    bool composed = false;
    bool cancelled = false;
    {
        CommandDialog dialog(doc, host, true);
        host.RunWorker(dialog.get(), [&] {
            ProgressDialog& progress = *doc.progress_dialog();
            progress.SetCaption(caption);
            progress.SetText(strings::kComposingAtResolution);
            composed = view.ScaledCroppedImage(doc, scale, progress, image);
            cancelled = progress.cancel_requested();
            progress.Close();
        });
    }
    if (composed) return 0;
    if (cancelled) return kExportCancelled;
    ShowMessage(LoadString(strings::kSystemMemoryNotSufficient));
    return kExportNotComposed;
}

int ExportWideView(CMainDoc& doc, WorkflowHost& host, const WideView& view, const std::string& path,
                   const OutputResolution& resolution)
{
    if (resolution.kind == OutputResolution::Kind::Working) return view.Export(path);
    // A name no writer takes is refused before any composing.
    if (FormatForFileName(path) == ImageFormat::Unknown) return WideView::WriteOutput(ColorImage(), path);
    const double scale = OutputScale(doc, resolution, view.crop_width(), view.crop_height());
    ColorImage image;
    if (const int outcome = ComposeForOutput(doc, host, view, scale, strings::kExportCaption, image); outcome != 0) return outcome;
    int code = 0;
    {
        CommandDialog dialog(doc, host, false);
        host.RunWorker(dialog.get(), [&] {
            ProgressDialog& progress = *doc.progress_dialog();
            progress.SetCaption(strings::kExportCaption);
            progress.SetText(strings::kWritingImageFile);
            progress.SetRange(1);
            code = WideView::WriteOutput(image, path);
            progress.Step();
            progress.Close();
        });
    }
    return code;
}

void RevertEdits(CMainDoc& doc)
{
    if (!doc.mosaic()) return;
    for (std::size_t i = 0; i < doc.pair_edits().size(); ++i) {
        PairEdit& edit = doc.pair_edits()[i];
        if (!edit.modified) continue;
        const SourceAlignment& record = doc.mosaic()->alignment(static_cast<int>(i));
        edit.mode = record.method;
        edit.translation_x = record.translation_hint.x;
        edit.translation_y = record.translation_hint.y;
        edit.first_points.assign(record.first_points.begin(), record.first_points.end());
        edit.second_points.assign(record.second_points.begin(), record.second_points.end());
        edit.modified = 0;
    }
}

}  // namespace tp
