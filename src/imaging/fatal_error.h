// Reporting hooks the front ends install: the engine has no user interface of its own.
//
// A fatal error is shown (a message box captioned "PXLK: Error" in the GUI, a line on stderr in the command
// line) and then ends the process with exit status -1. Messages are user-facing texts the engine must show
// without stopping (for example "System memory is not sufficient..."). Both hooks default to writing to stderr.
#pragma once

#include <functional>
#include <string>

namespace tp {

inline constexpr const char* kFatalErrorCaption = "PXLK: Error";

using MessageHook = std::function<void(const std::string& text)>;

// Installs the routine that shows a fatal error before the process ends; an empty hook restores the default.
void SetFatalErrorHook(MessageHook hook);
// Shows `text` through the installed hook, then ends the process with exit status -1.
[[noreturn]] void FatalError(const std::string& text);

// Working memory that a computation cannot do without could not be had: shows "Memory Allocation Failed"
// through the message hook and ends the process with exit status -1.
[[noreturn]] void FatalOutOfMemory();

// Installs the routine that shows a message to the user (OK button only); an empty hook restores the default.
void SetMessageHook(MessageHook hook);
void ShowMessage(const std::string& text);

// A message with what lies behind it (the file, the reason). Where a detail hook is installed (the command
// line's, which prints "text (detail)") it gets both; otherwise the message hook shows the text alone, as the
// system's own message boxes word it.
using DetailedMessageHook = std::function<void(const std::string& text, const std::string& detail)>;
void SetDetailedMessageHook(DetailedMessageHook hook);
void ShowMessage(const std::string& text, const std::string& detail);

}  // namespace tp
