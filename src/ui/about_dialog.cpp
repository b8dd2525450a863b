#include "ui/about_dialog.h"

#include <QMessageBox>

namespace tp {

void ShowAboutBox(QWidget* parent)
{
    QMessageBox::about(parent, QStringLiteral("About Tarnel Plexaro"), QStringLiteral("Tarnel Plexaro 1.0.0"));
}

}  // namespace tp
