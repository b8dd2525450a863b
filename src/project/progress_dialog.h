// The progress window of a long command, as the workflow sees it. The engine talks to it through the three
// Progress codes (step with cancel reply, range, label by string id); the workflow's threads also set the
// caption and the label text directly and close it when they are done.
#pragma once

#include <string>

#include "imaging/progress.h"

namespace tp {

class ProgressDialog : public Progress {
public:
    virtual void SetCaption(int string_id) = 0;
    virtual void SetLabel(const std::string& text) = 0;
    // The worker has finished (the dialog may close now).
    virtual void Close() = 0;
    virtual bool cancel_requested() const = 0;
};

}  // namespace tp
