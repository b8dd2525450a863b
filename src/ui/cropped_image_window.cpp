#include "ui/cropped_image_window.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "ui/qt_image.h"

namespace tp {

CroppedImageWindow::CroppedImageWindow(const ColorImage& image, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Cropped Image"));
    auto* picture = new QLabel;
    picture->setPixmap(QPixmap::fromImage(ToQImage(image)));
    auto* panel = new QScrollArea(this);
    panel->setWidget(picture);
    panel->setAlignment(Qt::AlignCenter);
    panel->setBackgroundRole(QPalette::Dark);
    panel->setFrameShape(QFrame::NoFrame);
    panel->setMinimumSize(std::min(image.width(), kMaxPanelWidth), std::min(image.height(), kMaxPanelHeight));
    auto* size = new QLabel(QStringLiteral("[%1 x %2]").arg(image.width()).arg(image.height()), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addStretch();
    row->addWidget(size);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->addWidget(panel, 1);
    layout->addLayout(row);
    setSizeGripEnabled(true);
}

void ShowCroppedImage(const ColorImage& image, QWidget* parent)
{
    if (image.empty()) return;
    CroppedImageWindow window(image, parent);
    window.exec();
}

}  // namespace tp
