// The About box, shown modally over `parent`.
#pragma once

class QWidget;

namespace tp {

void ShowAboutBox(QWidget* parent);

}  // namespace tp
