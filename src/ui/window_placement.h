// The main window's placement as the settings keep it: a 44-byte record (length, flags, show command,
// minimised and maximised positions, normal rectangle; little-endian 32-bit fields) under
// "WindowState-Summary" / "WindowPlacement", and the repair that makes a saved placement usable on this
// screen.
#pragma once

#include <optional>

#include <QByteArray>
#include <QRect>

class QSettings;
class QWidget;

namespace tp {

inline constexpr int kShowNormal = 1;
inline constexpr int kShowMinimized = 2;
inline constexpr int kShowMaximized = 3;
inline constexpr int kShowRestore = 9;

struct WindowPlacement {
    int show_command = kShowNormal;
    QRect normal;  // the window's rectangle when neither minimised nor maximised
    bool operator==(const WindowPlacement&) const = default;
};

QByteArray EncodePlacement(const WindowPlacement& placement);
// Nothing when the bytes are not a placement record (wrong length or length field).
std::optional<WindowPlacement> DecodePlacement(const QByteArray& bytes);

// A saved placement made fit for `work_area`: minimised or maximised comes back restored covering the work
// area; a smaller rectangle grows to 640 x 480 about its centre, a larger one shrinks to the work area, and it
// is moved inside the work area.
WindowPlacement RepairPlacement(const WindowPlacement& saved, const QRect& work_area);

void SavePlacement(QSettings& settings, const QWidget& window);
// Applies the saved placement, repaired for the screen's work area; false when none is saved.
bool RestorePlacement(QSettings& settings, QWidget& window);

}  // namespace tp
