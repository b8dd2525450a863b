#include "ui/window_placement.h"

#include <array>

#include <QDataStream>
#include <QIODevice>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace tp {

namespace {

constexpr int kRecordBytes = 44;
constexpr int kMinimumWidth = 640;
constexpr int kMinimumHeight = 480;

QString PlacementKey() { return QStringLiteral("WindowState-Summary/WindowPlacement"); }

}  // namespace

QByteArray EncodePlacement(const WindowPlacement& placement)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    const QRect& r = placement.normal;
    // Length, flags, show command, minimised position (x, y), maximised position (x, y), normal rectangle
    // (left, top, right, bottom; right and bottom exclusive).
    const std::array<qint32, 11> fields = {kRecordBytes, 0, placement.show_command, -1, -1, -1, -1,
                                           r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    for (const qint32 field : fields) out << field;
    return bytes;
}

std::optional<WindowPlacement> DecodePlacement(const QByteArray& bytes)
{
    if (bytes.size() != kRecordBytes) return std::nullopt;
    QDataStream in(bytes);
    in.setByteOrder(QDataStream::LittleEndian);
    std::array<qint32, 11> fields{};
    for (qint32& field : fields) in >> field;
    if (fields[0] != kRecordBytes) return std::nullopt;
    WindowPlacement placement;
    placement.show_command = fields[2];
    placement.normal = QRect(QPoint(fields[7], fields[8]), QPoint(fields[9] - 1, fields[10] - 1));
    return placement;
}

WindowPlacement RepairPlacement(const WindowPlacement& saved, const QRect& work_area)
{
    WindowPlacement result;
    result.show_command = kShowNormal;
    if (saved.show_command == kShowMinimized || saved.show_command == kShowMaximized) {
        result.show_command = kShowRestore;
        result.normal = work_area;
        return result;
    }
    QRect r = saved.normal.normalized();
    // Widened and heightened symmetrically, so the window keeps its centre.
    if (r.width() < kMinimumWidth) r = QRect(r.left() - (kMinimumWidth - r.width()) / 2, r.top(), kMinimumWidth, r.height());
    if (r.height() < kMinimumHeight) r = QRect(r.left(), r.top() - (kMinimumHeight - r.height()) / 2, r.width(), kMinimumHeight);
    if (r.width() > work_area.width()) r.setWidth(work_area.width());
    if (r.height() > work_area.height()) r.setHeight(work_area.height());
    // Into the work area: an edge past the right or bottom moves back first, then one past the left or top.
    if (r.right() > work_area.right()) r.moveRight(work_area.right());
    if (r.bottom() > work_area.bottom()) r.moveBottom(work_area.bottom());
    if (r.left() < work_area.left()) r.moveLeft(work_area.left());
    if (r.top() < work_area.top()) r.moveTop(work_area.top());
    result.normal = r;
    return result;
}

void SavePlacement(QSettings& settings, const QWidget& window)
{
    WindowPlacement placement;
    placement.show_command = window.isMinimized() ? kShowMinimized : window.isMaximized() ? kShowMaximized : kShowNormal;
    placement.normal = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    settings.setValue(PlacementKey(), EncodePlacement(placement));
}

bool RestorePlacement(QSettings& settings, QWidget& window)
{
    const std::optional<WindowPlacement> saved = DecodePlacement(settings.value(PlacementKey()).toByteArray());
    if (!saved) return false;
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    const QRect work_area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    window.setGeometry(RepairPlacement(*saved, work_area).normal);
    return true;
}

}  // namespace tp
