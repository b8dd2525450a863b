#include "ui/icon_button.h"

#include <QPainter>

#include <utility>

#include "ui/interface_font.h"

namespace tp {

namespace {
constexpr int kCaptionRoom = 12;   // the picture's rectangle lowered by this for the caption
constexpr int kMarginX = 10;
constexpr int kMarginY = 5;
constexpr int kCaptionHeight = 17; // the caption is centred in this much at the bottom
constexpr double kCaptionPoints = 8.5;
}  // namespace

CXIconButton::CXIconButton(QPixmap normal, QPixmap highlighted, QString caption, QColor background)
    : normal_(std::move(normal)),
      highlighted_(std::move(highlighted)),
      caption_(std::move(caption)),
      background_(background),
      picture_rect_(QPoint(kMarginX, kMarginY), normal_.deviceIndependentSize().toSize())
{
}

QSize CXIconButton::BoundsSizeFor(QSize picture)
{
    return picture + QSize(2 * kMarginX, kCaptionRoom + 2 * kMarginY);
}

QRect CXIconButton::bounds() const
{
    return picture_rect_.adjusted(-kMarginX, -kMarginY, kMarginX, kCaptionRoom + kMarginY);
}

void CXIconButton::MoveBoundsTo(QPoint top_left) { picture_rect_.moveTopLeft(top_left + QPoint(kMarginX, kMarginY)); }

void CXIconButton::Paint(QPainter& painter, State state) const
{
    const QRect area = bounds();
    painter.fillRect(area, background_);
    const QPoint shift = state == State::Pressed ? QPoint(1, 1) : QPoint(0, 0);
    painter.drawPixmap(picture_rect_.topLeft() + shift, state == State::Normal ? normal_ : highlighted_);

    painter.setFont(InterfaceFont(kCaptionPoints));
    painter.setPen(Qt::white);
    const QRect caption_area(area.left(), area.bottom() + 1 - kCaptionHeight, area.width(), kCaptionHeight);
    painter.drawText(caption_area.translated(shift), Qt::AlignCenter | Qt::TextSingleLine, caption_);
}

}  // namespace tp
