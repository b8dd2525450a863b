// Tool-bar pictures, 32 x 27, for the light tool bar. Outlines sit on half pixels so that they stay sharp
// at ratio 1.
#include <QLinearGradient>
#include <QPainter>

#include "ui/artwork.h"
#include "ui/artwork_painting.h"
#include "ui/command_ids.h"

namespace tp {

namespace {

using namespace art;

QPen InkPen(qreal width = 1.0) { return QPen(QColor(kInk), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

// A sheet of paper, optionally with a folded top-right corner.
void PaintPage(QPainter& painter, const QRectF& page, qreal fold)
{
    const QPainterPath sheet = fold > 0 ? PolygonPath({page.topLeft(), {page.right() - fold, page.top()},
                                                   {page.right(), page.top() + fold}, page.bottomRight(),
                                                   page.bottomLeft()})
                                        : RectPath(page);
    FillVertical(painter, sheet, QColor(kPaper), QColor(0xe9, 0xee, 0xf3));
    painter.strokePath(sheet, InkPen());
    if (fold > 0) {
        const QPainterPath ear = PolygonPath({{page.right() - fold, page.top()},
                                          {page.right() - fold, page.top() + fold},
                                          {page.right(), page.top() + fold}});
        painter.fillPath(ear, QColor(0xd5, 0xdd, 0xe6));
        painter.strokePath(ear, InkPen());
    }
}

void PaintTextLines(QPainter& painter, qreal left, qreal right, std::initializer_list<qreal> rows)
{
    painter.setPen(QPen(QColor(0xa9, 0xb6, 0xc4), 1.0));
    for (const qreal y : rows) painter.drawLine(QPointF(left, y), QPointF(right, y));
}

// A plain window with a title bar; returns its client area.
QRectF PaintWindow(QPainter& painter)
{
    const QRectF frame(3.5, 3.5, 25, 20);
    painter.fillRect(frame, QColor(kPaper));
    painter.fillRect(QRectF(frame.left(), frame.top(), frame.width(), 4), QColor(kAccent));
    painter.setPen(InkPen());
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);
    painter.drawLine(QPointF(frame.left(), frame.top() + 4), QPointF(frame.right(), frame.top() + 4));
    return QRectF(frame.left() + 0.5, frame.top() + 4.5, frame.width() - 1, frame.height() - 5);
}

void PaintPane(QPainter& painter, const QRectF& pane, const QRectF& world)
{
    PaintLandscape(painter, world, RectPath(pane), DaylightScenery());
}

void PaintNewProject(QPainter& painter)
{
    PaintPage(painter, QRectF(7.5, 2.5, 15, 22), 5);
    PaintTextLines(painter, 10, 17, {8.5, 11.5, 14.5});
    QPainterPath badge;
    badge.addEllipse(QPointF(22.5, 19.5), 5.5, 5.5);
    FillVertical(painter, badge, QColor(kAccent).lighter(118), QColor(kAccentDark));
    painter.strokePath(badge, QPen(QColor(kPaper), 1.0));
    painter.setPen(QPen(QColor(kPaper), 1.8, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(22.5, 16.6), QPointF(22.5, 22.4));
    painter.drawLine(QPointF(19.6, 19.5), QPointF(25.4, 19.5));
}

void PaintOpenProject(QPainter& painter)
{
    const QColor edge(0x8a, 0x5a, 0x12);
    const QPainterPath back =
        PolygonPath({{3.5, 5.5}, {10.5, 5.5}, {12.5, 7.5}, {26.5, 7.5}, {26.5, 23.5}, {3.5, 23.5}});
    painter.fillPath(back, QColor(0xd9, 0x9a, 0x2b));
    painter.strokePath(back, QPen(edge, 1.0));

    painter.save();
    painter.translate(16, 11.5);
    painter.rotate(-7);
    PaintPhoto(painter, QRectF(-8, -6, 16, 12), QRectF(-8, -6, 24, 12), DaylightScenery(),
               {.outline = QColor(kInk), .border = 1.5, .radius = 0.5});
    painter.restore();

    const QPainterPath front = PolygonPath({{3.5, 23.5}, {7.5, 13.5}, {29.5, 13.5}, {25.5, 23.5}});
    FillVertical(painter, front, QColor(0xff, 0xd7, 0x73), QColor(0xf0, 0xac, 0x2c));
    painter.strokePath(front, QPen(edge, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void PaintSaveProject(QPainter& painter)
{
    const QPainterPath disk =
        PolygonPath({{5.5, 2.5}, {22.5, 2.5}, {26.5, 6.5}, {26.5, 24.5}, {5.5, 24.5}});
    FillVertical(painter, disk, QColor(kAccent).lighter(115), QColor(kAccentDark));
    painter.strokePath(disk, QPen(QColor(kAccentDark).darker(130), 1.0, Qt::SolidLine, Qt::RoundCap,
                                  Qt::RoundJoin));
    const QRectF shutter(10.5, 2.5, 11, 7);
    painter.fillRect(shutter, QColor(0xe3, 0xe8, 0xee));
    painter.fillRect(QRectF(17.5, 4, 2, 4), QColor(kAccentDark));
    painter.setPen(QPen(QColor(kAccentDark).darker(130), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(shutter);
    PaintPhoto(painter, QRectF(8.5, 13.5, 15, 11), QRectF(9, 14, 20, 10), DaylightScenery(),
               {.outline = QColor(kAccentDark).darker(130), .border = 1.0, .radius = 0});
}

void PaintEditWindowOnly(QPainter& painter)
{
    const QRectF client = PaintWindow(painter);
    const QRectF world(client.left() - 2, client.top(), 34, client.height());
    const PhotoStyle photo{.outline = QColor(kInk), .border = 1.0, .radius = 0};
    PaintPhoto(painter, QRectF(6.5, 9.5, 13, 9), world, DaylightScenery(), photo);
    painter.setOpacity(0.65);
    PaintPhoto(painter, QRectF(12.5, 12.5, 13, 9), world.translated(2, 1), DaylightScenery(), photo);
    painter.setOpacity(1.0);
}

void PaintPreviewWindowOnly(QPainter& painter)
{
    const QRectF client = PaintWindow(painter);
    PaintPane(painter, client, client);
}

void PaintVerticalAlignment(QPainter& painter)
{
    const QRectF client = PaintWindow(painter);
    const qreal middle = 16.0;
    PaintPane(painter, QRectF(client.left(), client.top(), middle - client.left(), client.height()), client);
    PaintPane(painter, QRectF(middle + 1, client.top(), client.right() - middle - 1, client.height()),
              client.adjusted(-6, 0, 0, 0));
    painter.fillRect(QRectF(middle, client.top(), 1, client.height()), QColor(kInk));
}

void PaintHorizontalAlignment(QPainter& painter)
{
    const QRectF client = PaintWindow(painter);
    const qreal middle = 15.0;
    const QRectF upper(client.left(), client.top(), client.width(), middle - client.top());
    const QRectF lower(client.left(), middle + 1, client.width(), client.bottom() - middle - 1);
    PaintPane(painter, upper, upper.adjusted(0, -1, 0, 1));
    PaintPane(painter, lower, lower.adjusted(-6, -1, 0, 1));
    painter.fillRect(QRectF(client.left(), middle, client.width(), 1), QColor(kInk));
}

void PaintShowCroppedImage(QPainter& painter)
{
    const QRectF picture(2.5, 5.5, 27, 16);
    const QRectF world = picture;
    painter.setOpacity(0.45);
    PaintLandscape(painter, world, RectPath(picture), DaylightScenery());
    painter.setOpacity(1.0);
    const QRectF crop(8.5, 8.5, 15, 10);
    PaintLandscape(painter, world, RectPath(crop), DaylightScenery());
    painter.setPen(QPen(QColor(kPaper), 1.0));
    painter.drawRect(crop);

    // Corner brackets just outside the kept area.
    painter.setPen(QPen(QColor(kInk), 2.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const QRectF marks = crop.adjusted(-2, -2, 2, 2);
    constexpr qreal kArm = 4;
    painter.drawPolyline(QPolygonF({{marks.left(), marks.top() + kArm}, marks.topLeft(),
                                    {marks.left() + kArm, marks.top()}}));
    painter.drawPolyline(QPolygonF({{marks.right() - kArm, marks.top()}, marks.topRight(),
                                    {marks.right(), marks.top() + kArm}}));
    painter.drawPolyline(QPolygonF({{marks.left(), marks.bottom() - kArm}, marks.bottomLeft(),
                                    {marks.left() + kArm, marks.bottom()}}));
    painter.drawPolyline(QPolygonF({{marks.right() - kArm, marks.bottom()}, marks.bottomRight(),
                                    {marks.right(), marks.bottom() - kArm}}));
}

void PaintPlanarProjection(QPainter& painter)
{
    const QRectF strip(1.5, 7.5, 29, 12);
    painter.fillRect(strip.translated(1, 1.5), QColor(0, 0, 0, 40));
    PaintPhoto(painter, strip, strip.adjusted(1, 1, -1, -1), DaylightScenery(),
               {.outline = QColor(kInk), .border = 1.0, .radius = 0});
}

void PaintCylindricalProjection(QPainter& painter)
{
    QPainterPath band(QPointF(1.5, 5.5));
    band.quadTo(QPointF(16, 12.5), QPointF(30.5, 5.5));
    band.lineTo(30.5, 16.5);
    band.quadTo(QPointF(16, 23.5), QPointF(1.5, 16.5));
    band.closeSubpath();
    PaintLandscape(painter, QRectF(1.5, 5.5, 29, 15), band, DaylightScenery());
    // The band turns away at both ends.
    QLinearGradient shade(QPointF(1.5, 0), QPointF(30.5, 0));
    shade.setColorAt(0.0, QColor(0, 0, 0, 90));
    shade.setColorAt(0.3, QColor(0, 0, 0, 0));
    shade.setColorAt(0.55, QColor(255, 255, 255, 40));
    shade.setColorAt(0.75, QColor(0, 0, 0, 0));
    shade.setColorAt(1.0, QColor(0, 0, 0, 90));
    painter.fillPath(band, shade);
    painter.strokePath(band, InkPen());
}

void PaintPrint(QPainter& painter)
{
    PaintPage(painter, QRectF(9.5, 2.5, 13, 8), 0);
    const QPainterPath body = RoundedRect(QRectF(3.5, 9.5, 25, 11), 2);
    FillVertical(painter, body, QColor(0xf1, 0xf4, 0xf7), QColor(0xa9, 0xb5, 0xc1));
    painter.strokePath(body, InkPen());
    painter.fillRect(QRectF(8, 16, 16, 2), QColor(kInk));
    QPainterPath light;
    light.addEllipse(QPointF(25, 12.5), 1.1, 1.1);
    painter.fillPath(light, QColor(0x3c, 0xc4, 0x5a));
    PaintPhoto(painter, QRectF(9.5, 17.5, 13, 8), QRectF(10.5, 18.5, 16, 6), DaylightScenery(),
               {.outline = QColor(kInk), .border = 1.0, .radius = 0});
}

void PaintPrintPreview(QPainter& painter)
{
    PaintPage(painter, QRectF(4.5, 2.5, 15, 21), 0);
    PaintLandscape(painter, QRectF(6.5, 5, 11, 7), RectPath(QRectF(6.5, 5, 11, 7)), DaylightScenery());
    PaintTextLines(painter, 7, 17, {15.5, 18.5});
    painter.setPen(QPen(QColor(kInk), 3.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(24.2, 19.2), QPointF(28, 23));
    QPainterPath lens;
    lens.addEllipse(QPointF(20.5, 15.5), 5.5, 5.5);
    painter.fillPath(lens, QColor(0xd6, 0xeb, 0xfb, 215));
    painter.strokePath(lens, InkPen(1.6));
}

void PaintAbout(QPainter& painter)
{
    QPainterPath disc;
    disc.addEllipse(QPointF(16, 13.5), 10.5, 10.5);
    FillVertical(painter, disc, QColor(kAccent).lighter(125), QColor(kAccentDark));
    painter.strokePath(disc, QPen(QColor(kAccentDark).darker(120), 1.0));
    QPainterPath letter;
    letter.addEllipse(QPointF(16, 8.2), 1.9, 1.9);
    letter.addRoundedRect(QRectF(14.3, 11.3, 3.4, 9.2), 1.0, 1.0);
    painter.fillPath(letter, QColor(kPaper));
}

void PaintCut(QPainter& painter)
{
    painter.setPen(QPen(QColor(0x6b, 0x77, 0x85), 2.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(12.8, 17.5), QPointF(20.5, 2.5));
    painter.drawLine(QPointF(19.2, 17.5), QPointF(11.5, 2.5));
    painter.setPen(QPen(QColor(kAccent), 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(11, 21), 3.5, 3.5);
    painter.drawEllipse(QPointF(21, 21), 3.5, 3.5);
    QPainterPath pivot;
    pivot.addEllipse(QPointF(16, 11.3), 1.2, 1.2);
    painter.fillPath(pivot, QColor(kInk));
}

void PaintCopy(QPainter& painter)
{
    PaintPage(painter, QRectF(5.5, 2.5, 13, 16), 0);
    PaintTextLines(painter, 8, 16, {6.5, 9.5, 12.5});
    PaintPage(painter, QRectF(12.5, 8.5, 13, 16), 0);
    PaintTextLines(painter, 15, 23, {12.5, 15.5, 18.5, 21.5});
}

void PaintPaste(QPainter& painter)
{
    const QPainterPath board = RoundedRect(QRectF(5.5, 4.5, 17, 20), 1.5);
    painter.fillPath(board, QColor(0xcf, 0x92, 0x4f));
    painter.strokePath(board, QPen(QColor(0x7a, 0x4f, 0x22), 1.0));
    const QPainterPath clip = RoundedRect(QRectF(10.5, 2.5, 7, 4), 1);
    painter.fillPath(clip, QColor(0xb4, 0xbe, 0xc8));
    painter.strokePath(clip, InkPen());
    PaintPage(painter, QRectF(13.5, 9.5, 13, 15), 0);
    PaintTextLines(painter, 16, 24, {13.5, 16.5, 19.5});
}

using Painter = void (*)(QPainter&);

Painter PainterOf(int command_id)
{
    switch (command_id) {
        case kCmdNewProject: return PaintNewProject;
        case kCmdOpenProject: return PaintOpenProject;
        case kCmdSaveProject: return PaintSaveProject;
        case kCmdEditWindowOnly: return PaintEditWindowOnly;
        case kCmdPreviewWindowOnly: return PaintPreviewWindowOnly;
        case kCmdVerticalAlignment: return PaintVerticalAlignment;
        case kCmdHorizontalAlignment: return PaintHorizontalAlignment;
        case kCmdShowCroppedImage: return PaintShowCroppedImage;
        case kCmdPlanarProjection: return PaintPlanarProjection;
        case kCmdCylindricalProjection: return PaintCylindricalProjection;
        case kCmdPrint: return PaintPrint;
        case kCmdPrintPreview: return PaintPrintPreview;
        case kCmdAbout: return PaintAbout;
        case kCmdEditCut: return PaintCut;
        case kCmdEditCopy: return PaintCopy;
        case kCmdEditPaste: return PaintPaste;
        default: return nullptr;
    }
}

}  // namespace

QPixmap ToolbarPicture(int command_id, qreal device_pixel_ratio)
{
    const Painter paint = PainterOf(command_id);
    if (paint == nullptr) return {};
    return PaintPicture(QSize(kToolbarPictureWidth, kToolbarPictureHeight), device_pixel_ratio, paint);
}

}  // namespace tp
