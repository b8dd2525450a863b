// The program's message boxes: the core's messages (from any thread) shown on the interface thread over the
// window in front, captioned with the program's name, OK only; the file and the reason, where the core
// gives them, under the message.
#pragma once

class QWidget;

namespace tp {

// Routes the core's message, detailed-message and fatal-error hooks to message boxes; `main_window` is the
// parent when no modal window is in front.
void InstallMessageBoxes(QWidget* main_window);
void RemoveMessageBoxes();

}  // namespace tp
