#include "cli/terminal_progress.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "imaging/string_table.h"

namespace tp::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int)
{
    g_interrupted = 1;
    std::signal(SIGINT, SIG_DFL);
}

constexpr int kBarWidth = 30;

}  // namespace

void InstallInterruptHandler() { std::signal(SIGINT, OnInterrupt); }

bool InterruptRequested() { return g_interrupted != 0; }

TerminalProgress::TerminalProgress(bool cancellable, bool quiet)
    : cancellable_(cancellable), quiet_(quiet), interactive_(isatty(STDERR_FILENO) != 0)
{
}

TerminalProgress::~TerminalProgress()
{
    std::lock_guard lock(mutex_);
    FinishLine();
}

bool TerminalProgress::Step()
{
    std::lock_guard lock(mutex_);
    ++position_;
    if (cancellable_ && InterruptRequested() && !cancelled_) {
        cancelled_ = true;
        label_ = LoadString(strings::kCanceling);
    }
    Redraw();
    return cancelled_;
}

void TerminalProgress::SetRange(int steps)
{
    std::lock_guard lock(mutex_);
    range_ = std::max(steps, 1);
    position_ = 0;
    Redraw();
}

void TerminalProgress::SetText(int string_id) { SetLabel(LoadString(string_id)); }

void TerminalProgress::SetCaption(int string_id)
{
    std::lock_guard lock(mutex_);
    caption_ = LoadString(string_id);
    Redraw();
}

void TerminalProgress::SetLabel(const std::string& text)
{
    std::lock_guard lock(mutex_);
    if (!cancelled_) label_ = text;
    Redraw();
}

void TerminalProgress::Close()
{
    std::lock_guard lock(mutex_);
    FinishLine();
}

void TerminalProgress::Redraw()
{
    if (quiet_) return;
    std::string line = caption_;
    if (!label_.empty()) line += (line.empty() ? "" : ": ") + label_;
    if (!interactive_) {
        // One line per stage when the output is a file or a pipe.
        if (line != last_line_ && !line.empty()) std::fprintf(stderr, "%s\n", line.c_str());
        last_line_ = line;
        return;
    }
    const int filled = std::min(kBarWidth, position_ * kBarWidth / range_);
    std::fprintf(stderr, "\r\033[K[%s%s] %3d%% %s", std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(kBarWidth - filled), ' ').c_str(), std::min(100, position_ * 100 / range_),
                 line.c_str());
    std::fflush(stderr);
    line_open_ = true;
}

void TerminalProgress::FinishLine()
{
    if (line_open_) std::fprintf(stderr, "\n");
    line_open_ = false;
}

}  // namespace tp::cli
