#include "ui/cropped_image_window.h"

#include <algorithm>

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>

namespace tp {

namespace {

constexpr int kPanelMargin = 3;       // panel to the left, top and right edges
constexpr int kPanelToButton = 5;     // panel to the OK button
constexpr int kButtonToBottom = 6;    // OK button to the bottom edge
constexpr int kLabelFromRight = 150;  // the size label spans from here ...
constexpr int kLabelToRight = 25;     // ... to here, left of the right edge

}  // namespace

CroppedImagePanel::CroppedImagePanel(QWidget* parent) : CXView(parent) { set_background_colour(Qt::black); }

void CroppedImagePanel::DrawSurroundings(QPainter& painter, const QRect& clip)
{
    FillBackground(painter, QRegion(clip).subtracted(image_on_screen()));
}

QSize CroppedPanelSize(QSize image, int scroll_bar_extent)
{
    const int max_width = CroppedImageWindow::kMaxPanelWidth, max_height = CroppedImageWindow::kMaxPanelHeight;
    QSize panel = image.boundedTo(QSize(max_width, max_height));
    const bool scrolls_across = image.width() > max_width, scrolls_down = image.height() > max_height;
    if (scrolls_across && !scrolls_down) panel.setHeight(std::min(max_height, panel.height() + scroll_bar_extent));
    if (scrolls_down && !scrolls_across) panel.setWidth(std::min(max_width, panel.width() + scroll_bar_extent));
    return panel;
}

CroppedImageWindow::CroppedImageWindow(const ColorImage& image, QWidget* parent)
    : QDialog(parent),
      panel_(new CroppedImagePanel(this)),
      size_label_(new QLabel(QStringLiteral("[%1 x %2]").arg(image.width()).arg(image.height()), this)),
      ok_(new QPushButton(QStringLiteral("OK"), this))
{
    setWindowTitle(QStringLiteral("Cropped Image"));
    setSizeGripEnabled(true);
    size_label_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    panel_->SetImage(image);
    panel_->SetZoom(1.0);

    const QSize panel = CroppedPanelSize(QSize(image.width(), image.height()), style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    const QSize button = ok_->sizeHint();
    // Narrow images still leave room for OK between the two halves of the size label's span.
    const int text = size_label_->fontMetrics().horizontalAdvance(size_label_->text());
    const int least_width = button.width() + 2 * (kLabelToRight + text + kPanelToButton);
    const int width = std::max(panel.width() + 2 * kPanelMargin, least_width);
    const int height = kPanelMargin + panel.height() + kPanelToButton + button.height() + kButtonToBottom;
    resize(width, height);
    setMinimumSize(width, height);
    LayOut();
}

void CroppedImageWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    LayOut();
}

void CroppedImageWindow::LayOut()
{
    const QSize button = ok_->sizeHint();
    const int row = height() - kButtonToBottom - button.height();
    ok_->setGeometry((width() - button.width()) / 2, row, button.width(), button.height());
    size_label_->setGeometry(width() - kLabelFromRight, row, kLabelFromRight - kLabelToRight, button.height());
    panel_->setGeometry(kPanelMargin, kPanelMargin, width() - 2 * kPanelMargin, row - kPanelToButton - kPanelMargin);
}

void ShowCroppedImage(const ColorImage& image, QWidget* parent)
{
    if (image.empty()) return;
    CroppedImageWindow window(image, parent);
    window.exec();
}

}  // namespace tp
