// The desktop program's texts by string id: the menus' prompts and tooltips, captions, messages. Ids the
// core already knows come from its table.
#pragma once

#include <QString>

namespace tp {

namespace ui_strings {
inline constexpr int kCredits = 35000;
inline constexpr int kMainMenu = 35090;
inline constexpr int kSourceImages = 35091;
inline constexpr int kTooManyImages = 35092;
inline constexpr int kViewSwitchNoDocument = 35093;
inline constexpr int kViewSwitchNoViews = 35094;
inline constexpr int kSaveChanges = 35095;
inline constexpr int kNoDisplay = 35096;
inline constexpr int kPropertyUnavailable = 35120;
inline constexpr int kReady = 57345;
inline constexpr int kDocumentType = 57348;
inline constexpr int kWidthHeightIndicator = 59142;
inline constexpr int kIndicatorWidthText = 59143;
}  // namespace ui_strings

// The text of a string id (the UI's own table, then the core's); empty for an unknown id.
QString UiText(int id);

// A command's prompt holds the status-bar text, a line feed and the tooltip. Empty when it has none.
QString CommandStatusText(int command_id);
QString CommandTooltip(int command_id);

}  // namespace tp
