#include "ui/main_view.h"

#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>

#include "project/main_doc.h"
#include "ui/artwork.h"
#include "ui/qt_image.h"

namespace tp {

namespace {

constexpr int kShadowWidth = 5;
const QColor kBackground(47, 47, 47);

}  // namespace

CMainView::CMainView(CMainDoc& doc, QWidget* parent) : QAbstractScrollArea(parent), doc_(doc)
{
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    if (doc_.HasWideView()) ShowWideView();
}

void CMainView::ShowWideView()
{
    wide_view_.Show(doc_);
    shown_ = ToQImage(wide_view_.image()).copy();
    UpdateScrollRanges();
    viewport()->update();
    emit cropChanged();
}

void CMainView::ClearView()
{
    wide_view_.Clear();
    shown_ = QImage();
    UpdateScrollRanges();
    viewport()->update();
    emit cropChanged();
}

bool CMainView::SwitchProjection(int command_id)
{
    if (!wide_view_.SwitchProjection(doc_, command_id)) return false;
    shown_ = ToQImage(wide_view_.image()).copy();
    UpdateScrollRanges();
    viewport()->update();
    emit cropChanged();
    return true;
}

void CMainView::Crop(CropChoice choice)
{
    if (!wide_view_.has_image()) return;
    wide_view_.Crop(doc_, choice);
    viewport()->update();
    emit cropChanged();
}

int CMainView::Export(const QString& path) { return wide_view_.Export(path.toStdString()); }

QPoint CMainView::ImageOrigin() const
{
    // Centred when smaller than the window, otherwise scrolled.
    const QSize area = viewport()->size();
    const int x = shown_.width() < area.width() ? (area.width() - shown_.width()) / 2 : -horizontalScrollBar()->value();
    const int y = shown_.height() < area.height() ? (area.height() - shown_.height()) / 2 : -verticalScrollBar()->value();
    return {x, y};
}

void CMainView::UpdateScrollRanges()
{
    const QSize area = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, shown_.width() - area.width()));
    verticalScrollBar()->setRange(0, std::max(0, shown_.height() - area.height()));
    horizontalScrollBar()->setPageStep(area.width());
    verticalScrollBar()->setPageStep(area.height());
}

void CMainView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRanges();
}

void CMainView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect exposed = event->rect();
    const QPoint origin = ImageOrigin();
    // The pattern moves with the content.
    QBrush pattern(BackgroundPattern());
    pattern.setTransform(QTransform::fromTranslate(origin.x() % 12, origin.y() % 12));
    painter.fillRect(exposed, shown_.isNull() ? QBrush(kBackground) : pattern);
    if (shown_.isNull()) return;
    const QRect image_rect(origin, shown_.size());
    painter.fillRect(image_rect.translated(kShadowWidth, kShadowWidth), QColor(20, 20, 20));
    const QRect visible = image_rect.intersected(exposed);
    painter.drawImage(visible, shown_, visible.translated(-origin));
    const CropRect& crop = wide_view_.crop();
    if (crop.width() > 0 && crop.height() > 0) {
        QPen pen(Qt::white, 1, Qt::DashLine);
        painter.setPen(pen);
        painter.drawRect(QRect(origin + QPoint(crop.left, crop.top), QSize(crop.width() - 1, crop.height() - 1)));
    }
}

}  // namespace tp
