// The program's own pictures, painted in code so that they are sharp at any device pixel ratio: tool-bar
// pictures, the six step buttons, the splash window, the About picture, the view's background pattern, the
// application icon and the hand cursors.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace tp {

// Tool-bar picture of a command (32 x 27 logical pixels); a null pixmap for a command without one.
QPixmap ToolbarPicture(int command_id, qreal device_pixel_ratio = 1.0);
inline constexpr int kToolbarPictureWidth = 32;
inline constexpr int kToolbarPictureHeight = 27;
// Step button i (1 Load .. 6 Print), normal or highlighted; kStepPictureSize logical pixels.
QPixmap StepPicture(int step, bool highlighted, qreal device_pixel_ratio = 1.0);
inline constexpr int kStepPictureSize = 64;
// The splash window's picture (kSplashWidth x kSplashHeight).
QPixmap SplashPicture(qreal device_pixel_ratio = 1.0);
inline constexpr int kSplashWidth = 480;
inline constexpr int kSplashHeight = 300;
// The About box's picture, placed at its top left (kAboutPictureWidth x kAboutPictureHeight).
QPixmap AboutPicture(qreal device_pixel_ratio = 1.0);
inline constexpr int kAboutPictureWidth = 505;
inline constexpr int kAboutPictureHeight = 230;
// The 12 x 12 pattern behind the wide-view image.
QPixmap BackgroundPattern();
inline constexpr int kBackgroundPatternSize = 12;
// The application icon at a square size in pixels.
QPixmap ApplicationIconPicture(int size);
QIcon ApplicationIcon();
// Hand cursors: over a pannable image (open), while panning (closed), over a link (pointing).
QCursor OpenHandCursor();
QCursor ClosedHandCursor();
QCursor LinkCursor();

}  // namespace tp

namespace tp {

// The buttons of the modification mode's bands (kBandPictureWidth x kBandPictureHeight), light on the dark
// band; the pressed picture is the brighter one.
enum class BandButton { PreviousFrames, NextFrames, Point1, Point2, Point3, Point4, SaveAndPreview, EndModification };
QPixmap BandButtonPicture(BandButton button, bool pressed, qreal device_pixel_ratio = 1.0);
inline constexpr int kBandPictureWidth = 20;
inline constexpr int kBandPictureHeight = 16;

}  // namespace tp
