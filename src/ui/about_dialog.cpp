#include "ui/about_dialog.h"

#include "ui/about_box.h"

namespace tp {

void ShowAboutBox(QWidget* parent)
{
    AboutBox box(parent);
    box.exec();
}

}  // namespace tp
