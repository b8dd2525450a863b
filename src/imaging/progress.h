// How long engine operations report progress and learn about cancelling. The front ends implement it (a
// modal dialog in the GUI, a bar on the terminal in the command line); tests use doubles that cancel at a
// chosen step.
#pragma once

namespace tp {

class Progress {
public:
    virtual ~Progress() = default;

    // Advances one step; returns true when the user has asked to cancel. Callers that do not act on a cancel
    // at this point simply ignore the result.
    virtual bool Step() = 0;
    // The operation now runs `steps` steps; the position goes back to 0.
    virtual void SetRange(int steps) = 0;
    // The label names the current stage by its string-table id.
    virtual void SetText(int string_id) = 0;
};

// Reports nowhere and never cancels.
class NullProgress final : public Progress {
public:
    bool Step() override { return false; }
    void SetRange(int) override {}
    void SetText(int) override {}
};

}  // namespace tp
