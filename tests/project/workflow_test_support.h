// Doubles for the workflow's front-end services: a progress dialog that records what it is told and cancels
// at a chosen step, a host that makes them, and a capture of the messages shown to the user.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "imaging/fatal_error.h"
#include "imaging/image_file.h"
#include "project/workflow.h"
#include "registration/homography.h"
#include "synthetic_views.h"
#include "test_support.h"

namespace tp::test {

class RecordingDialog final : public ProgressDialog {
public:
    RecordingDialog(bool cancellable, int cancel_at) : cancellable_(cancellable), cancel_at_(cancel_at) {}
    bool Step() override
    {
        ++steps;
        if (cancellable_ && steps == cancel_at_) cancelled_ = true;
        return cancelled_;
    }
    void SetRange(int n) override { ranges.push_back(n); }
    void SetText(int id) override { texts.push_back(id); }
    void SetCaption(int id) override { captions.push_back(id); }
    void SetLabel(const std::string& text) override { labels.push_back(text); }
    void Close() override { ++closes; }
    bool cancel_requested() const override { return cancelled_; }

    int steps = 0;
    int closes = 0;
    std::vector<int> ranges, texts, captions;
    std::vector<std::string> labels;

private:
    bool cancellable_;
    int cancel_at_;
    bool cancelled_ = false;
};

// Makes recording dialogs; the n-th cancellable one cancels at step `cancel_at` (0 never).
class RecordingHost final : public WorkflowHost {
public:
    explicit RecordingHost(int cancel_at = 0) : cancel_at_(cancel_at) {}
    std::unique_ptr<ProgressDialog> MakeProgressDialog(bool cancellable) override
    {
        auto dialog = std::make_unique<RecordingDialog>(cancellable, cancel_at_);
        last = dialog.get();
        return dialog;
    }
    RecordingDialog* last = nullptr;  // valid until the command that made it returns

private:
    int cancel_at_;
};

// Collects the messages shown while it lives.
class MessageCapture {
public:
    MessageCapture()
    {
        SetMessageHook([this](const std::string& text) { messages.push_back(text); });
    }
    ~MessageCapture() { SetMessageHook({}); }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;
    std::vector<std::string> messages;
};

// Panning views of one synthetic scene written as PNG files (names view0.png, view1.png, ...).
inline std::vector<std::string> WritePanningViews(const ScratchDir& dir, int count, int width = 320, int height = 240,
                                                 int step = 110)
{
    const ColorImage scene = MakeScene(width + step * count + 200, height + 160, 17);
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        const ColorImage view = RenderView(scene, TranslationHomography(100 + width / 2 + step * i, 80 + height / 2), width, height);
        paths.push_back(dir.file("view" + std::to_string(i) + ".png"));
        WriteImage(view, paths.back());
    }
    return paths;
}

}  // namespace tp::test
