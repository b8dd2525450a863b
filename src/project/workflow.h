// The long commands of the workflow: loading sources, stitching, finalizing, applying manual edits, reading
// a project. Each runs its work on one worker thread at a time while a progress dialog shows; the worker
// threads find the document through TheDocument() and report to its progress dialog.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "project/main_doc.h"
#include "project/output_resolution.h"
#include "project/wide_view.h"

namespace tp {

enum class StitchMethod : int { Manual = 0, Automatic = 1 };
enum class FinalizeMethod : int { AdvancedBlending = 0, RealignmentAndAdvancedBlending = 1 };

// What a front end provides for a command: its progress dialog, and a way to run the worker while the dialog
// shows.
class WorkflowHost {
public:
    virtual ~WorkflowHost() = default;
    virtual std::unique_ptr<ProgressDialog> MakeProgressDialog(bool cancellable) = 0;
    // Runs `worker` on a worker thread and returns when it has ended; `dialog` is the dialog shown meanwhile
    // (null when the command shows none). The default starts a thread and waits for it.
    virtual void RunWorker(ProgressDialog* dialog, const std::function<void()>& worker);
};

// --- worker threads ---
void LoadImagesThread(const std::vector<std::string>& paths);
void LoadProjectThread(const std::vector<std::string>& paths);
void RebuildMosaicThread();
void StitchThread(StitchMethod method);
void FinalizeThread(FinalizeMethod method);
// Re-registers every modified pair from its hint, then updates the geometry and blends; reports to `bar`
// (the main frame's status bar in modification mode, which never cancels).
void ApplyEditsThread(Progress& bar);

// The label while loading: "Creating a thumbnail of " + at most 47 characters of the file name + "...".
std::string ThumbnailLabel(const std::string& path);
// The part of a path after its last separator.
std::string FileNameOf(const std::string& path);

// --- commands ---
// Appends the images to the source list; the state becomes Unstitched.
void LoadSourceImages(CMainDoc& doc, WorkflowHost& host, const std::vector<std::string>& paths);

struct StitchOutcome {
    bool ran = false;        // the command gate allowed it
    bool cancelled = false;  // the user cancelled
    // Automatic: the mosaic holds a new wide-view image to show. Manual: modification mode should start.
    bool show_result = false;
};
StitchOutcome StitchSourceImages(CMainDoc& doc, WorkflowHost& host, StitchMethod method);

// True when the project ends Finalized (the view should show the new image).
bool FinalizeWideView(CMainDoc& doc, WorkflowHost& host, FinalizeMethod method);

// "Save changes and preview" in modification mode; always ends Stitched.
void ApplyEdits(CMainDoc& doc, WorkflowHost& host, Progress& bar);

// Resets every modified edit from the mosaic's records (leaving modification mode without saving).
void RevertEdits(CMainDoc& doc);

// Exporting ends with the writer's code (0 written, -1 a name no writer takes, positive a write failure) or
// with one of these, before anything was written.
inline constexpr int kExportCancelled = -2;
inline constexpr int kExportNotComposed = -3;
// Writes the view's cropped image to `path` at `resolution`: as shown at the working resolution, composed
// again first at any other, on a worker thread behind a cancellable progress dialog. Every failure has been
// shown to the user when it returns.
int ExportWideView(CMainDoc& doc, WorkflowHost& host, const WideView& view, const std::string& path,
                   const OutputResolution& resolution);

// The view's cropped image at `scale` times the working resolution (composed on a worker thread behind a
// cancellable progress dialog, captioned `caption`, when the scale is not 1): 0 when made, otherwise
// kExportCancelled or kExportNotComposed (after the memory message).
int ComposeForOutput(CMainDoc& doc, WorkflowHost& host, const WideView& view, double scale, int caption, ColorImage& image);

// The parameters of a new mosaic from the first source's working image; false when it cannot be read.
bool FillMosaicParameters(CMainDoc& doc, MosaicParameters& parameters);

}  // namespace tp
