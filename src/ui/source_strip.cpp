#include "ui/source_strip.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "project/main_doc.h"
#include "ui/command_ids.h"
#include "ui/frame_services.h"
#include "ui/interface_font.h"
#include "ui/properties_dialog.h"
#include "ui/ui_strings.h"
#include "ui/xbar.h"

namespace tp {

namespace {

const QColor kBackground(47, 47, 47);
constexpr QSize kNumberBox(25, 10);
constexpr int kDragFrameWidth = 2;

// The thumbnail's pixels as a QImage, without copying: valid while the thumbnail lives.
QImage ImageView(const ColorImage& image)
{
    if (image.empty()) return {};
    return QImage(reinterpret_cast<const uchar*>(image.row(0)), image.width(), image.height(),
                  static_cast<qsizetype>(image.stride()), QImage::Format_BGR888);
}

}  // namespace

SourceStrip::SourceStrip(FrameServices& services, QWidget* parent) : ScrollPanel(parent), services_(services)
{
    setFocusPolicy(Qt::ClickFocus);
    Relayout();
}

int SourceStrip::EntryCount() const
{
    return std::min(services_.document().image_count(), static_cast<int>(layout_.rects.size()));
}

QRect SourceStrip::EntryRect(int index) const
{
    if (index < 0 || index >= static_cast<int>(layout_.rects.size())) return {};
    return layout_.rects[static_cast<std::size_t>(index)];
}

int SourceStrip::EntryAt(QPoint content_position) const
{
    const int count = EntryCount();
    for (int i = 0; i < count; ++i)
        if (layout_.rects[static_cast<std::size_t>(i)].contains(content_position)) return i;
    return -1;
}

CXBar* SourceStrip::HostBar() const
{
    for (QWidget* widget = parentWidget(); widget; widget = widget->parentWidget())
        if (auto* bar = qobject_cast<CXBar*>(widget)) return bar;
    return nullptr;
}

void SourceStrip::Relayout()
{
    if (relayout_running_) return;  // showing or hiding a scroll bar resizes the viewport under us
    relayout_running_ = true;

    const CMainDoc& doc = services_.document();
    const int count = doc.image_count();
    // The selection goes when its image has gone or another has taken its place.
    if (selected_ >= count || (selected_ >= 0 && doc.image(selected_).path != selected_path_)) ClearSelection();
    if (dragged_ >= count) dragged_ = -1;

    std::vector<QSize> sizes;
    for (int i = 0; i < count; ++i) {
        const DisplayCopy& thumbnail = doc.image(i).thumbnail;
        sizes.emplace_back(thumbnail.loaded() ? thumbnail.display_width() : 0,
                           thumbnail.loaded() ? thumbnail.display_height() : 0);
    }
    // Whether the strip needs a scroll bar is decided on the whole panel: the bar takes room across the
    // strip, the thumbnails shrink to fit, and deciding again on the smaller client could take it away.
    const QSize whole = WholeClientSize();
    const StripLayout trial = LayoutStrip(whole, sizes);
    const bool needed = trial.horizontal ? ScrollRange(trial.extent.width(), whole.width(), kScrollUnitX) > 0
                                         : ScrollRange(trial.extent.height(), whole.height(), kScrollUnitY) > 0;
    ShowScrollBarAlong(trial.horizontal ? Qt::Horizontal : Qt::Vertical, needed);
    layout_ = needed ? LayoutStrip(viewport()->size(), sizes) : trial;
    SetContentExtent(layout_.extent);

    // Scaled once per layout, so that painting only copies.
    thumbnails_.clear();
    for (int i = 0; i < count; ++i) {
        const DisplayCopy& thumbnail = doc.image(i).thumbnail;
        const QRect& rect = layout_.rects[static_cast<std::size_t>(i)];
        ScaledThumbnail scaled;
        if (thumbnail.loaded() && !rect.isEmpty()) {
            scaled.source = &thumbnail.image();
            scaled.image = ImageView(thumbnail.image())
                               .scaled(rect.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        thumbnails_.push_back(std::move(scaled));
    }
    viewport()->update();
    relayout_running_ = false;
}

bool SourceStrip::viewportEvent(QEvent* event)
{
    const bool handled = ScrollPanel::viewportEvent(event);
    if (event->type() == QEvent::Resize) Relayout();
    return handled;
}

void SourceStrip::PaintContent(QPainter& painter, const QRect& exposed)
{
    painter.fillRect(exposed, kBackground);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setFont(InterfaceFont(7));

    const CMainDoc& doc = services_.document();
    const int count = EntryCount();
    for (int i = 0; i < count; ++i) {
        const QRect& rect = layout_.rects[static_cast<std::size_t>(i)];
        const QRect number_box(rect.topLeft(), kNumberBox);
        if (!rect.intersects(exposed) && !number_box.intersects(exposed)) continue;

        const DisplayCopy& thumbnail = doc.image(i).thumbnail;
        if (thumbnail.loaded() && !rect.isEmpty()) {
            const ScaledThumbnail& scaled = thumbnails_[static_cast<std::size_t>(i)];
            if (scaled.source == &thumbnail.image() && scaled.image.size() == rect.size())
                painter.drawImage(rect.topLeft(), scaled.image);
            else
                painter.drawImage(rect, ImageView(thumbnail.image()));
        }
        painter.fillRect(number_box, Qt::white);
        painter.setPen(Qt::black);
        painter.drawText(number_box, Qt::AlignCenter | Qt::TextSingleLine, QString::number(i + 1));
        if (i == selected_) painter.fillRect(rect, QBrush(palette().color(QPalette::Highlight), Qt::Dense4Pattern));
    }
    if (dragged_ >= 0) DrawDragFrame(painter);
}

void SourceStrip::DrawDragFrame(QPainter& painter) const
{
    // Every other pixel of a two-pixel frame inverted: visible on any picture.
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const QBrush halftone(Qt::white, Qt::Dense4Pattern);
    const QRect& r = drag_rect_;
    const int w = kDragFrameWidth;
    painter.fillRect(QRect(r.left(), r.top(), r.width(), w), halftone);
    painter.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), halftone);
    painter.fillRect(QRect(r.left(), r.top() + w, w, r.height() - 2 * w), halftone);
    painter.fillRect(QRect(r.right() - w + 1, r.top() + w, w, r.height() - 2 * w), halftone);
    painter.restore();
}

void SourceStrip::Select(int index)
{
    selected_ = index;
    selected_path_ = services_.document().image(index).path;
    viewport()->update();
}

void SourceStrip::ClearSelection()
{
    selected_ = -1;
    selected_path_.clear();
    selection_active_ = false;
    viewport()->update();
}

void SourceStrip::ShowSelectedPath()
{
    if (selected_ < 0) return;
    services_.ShowStatusMessage(QDir::toNativeSeparators(QString::fromStdString(selected_path_)));
}

void SourceStrip::ShowReady() { services_.ShowStatusMessage(UiText(ui_strings::kReady)); }

void SourceStrip::mousePressEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    const int hit = EntryAt(ToContent(position));
    if (event->button() == Qt::LeftButton) {
        press_position_ = position;
        if (hit < 0) return;
        setFocus(Qt::MouseFocusReason);
        if (hit != selected_) {
            Select(hit);
            selection_active_ = false;
            ShowSelectedPath();
        }
        dragged_ = hit;
        drag_rect_ = EntryRect(hit);
        viewport()->update();
    } else if (event->button() == Qt::RightButton && hit >= 0) {
        setFocus(Qt::MouseFocusReason);
        if (hit != selected_) {
            Select(hit);
            ShowSelectedPath();
        }
        selection_active_ = true;
    }
}

void SourceStrip::mouseMoveEvent(QMouseEvent* event)
{
    if (dragged_ < 0) return;
    drag_rect_ = EntryRect(dragged_).translated(event->position().toPoint() - press_position_);
    viewport()->update();
    ShowSelectedPath();
}

void SourceStrip::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || dragged_ < 0) return;
    const int index = dragged_;
    dragged_ = -1;
    viewport()->update();

    if (event->position().toPoint() == press_position_) {
        // A click on the image already selected and active deselects it.
        const bool was_active = selection_active_;
        if (was_active) {
            ClearSelection();
            ShowReady();
        }
        selection_active_ = !was_active;
        ShowSelectedPath();
        return;
    }
    selection_active_ = true;
    const int before = DropPosition(layout_, drag_rect_.center());
    if (DropMoves(index, before)) {
        services_.document().MoveImage(index, before);
        selected_ = before > index ? before - 1 : before;
        SourceListEditedHere();
    }
    ShowSelectedPath();
}

void SourceStrip::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete) {
        DeleteSelected();
        return;
    }
    ScrollPanel::keyPressEvent(event);
}

void SourceStrip::focusInEvent(QFocusEvent* event)
{
    ScrollPanel::focusInEvent(event);
    if (selected_ < 0) ShowReady();
}

void SourceStrip::SourceListEditedHere()
{
    CMainDoc& doc = services_.document();
    doc.set_modified(true);
    // The stored alignment no longer matches the order of the images.
    doc.set_stitch_state(StitchState::Unstitched);
    Relayout();
    services_.SourceListEdited();
}

void SourceStrip::DeleteSelected()
{
    if (!selection_active_ || selected_ < 0 || selected_ >= EntryCount()) return;
    services_.document().RemoveImage(selected_);
    ClearSelection();
    SourceListEditedHere();
    ShowReady();
}

void SourceStrip::ShowProperties()
{
    if (!selection_active_ || selected_ < 0 || selected_ >= EntryCount()) return;
    const CImageObj& entry = services_.document().image(selected_);
    PropertiesDialog dialog(
        CollectImageProperties(entry.path, entry.thumbnail.full_width(), entry.thumbnail.full_height()), this);
    dialog.exec();
}

std::unique_ptr<QMenu> SourceStrip::CreateContextMenu(QPoint viewport_position)
{
    auto menu = std::make_unique<QMenu>(this);
    const bool over_selected = selected_ >= 0 && EntryAt(ToContent(viewport_position)) == selected_;
    CXBar* bar = HostBar();
    auto add = [&](int id, const char* text) {
        QAction* action = menu->addAction(QString::fromUtf8(text));
        action->setData(id);
        return action;
    };
    if (over_selected) {
        add(kCmdStripDelete, "&Delete");
        menu->addSeparator();
    }
    QAction* docking = add(kCmdStripDocking, "Doc&king");
    docking->setCheckable(true);
    docking->setChecked(bar && !bar->isFloating());
    docking->setEnabled(bar != nullptr);
    add(kCmdStripHide, "&Hide")->setEnabled(bar != nullptr);
    if (over_selected) {
        menu->addSeparator();
        add(kCmdStripProperties, "&Properties");
    }
    return menu;
}

void SourceStrip::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();  // not the main window's own bar menu
    const std::unique_ptr<QMenu> menu = CreateContextMenu(event->pos());
    if (const QAction* chosen = menu->exec(event->globalPos())) RunCommand(chosen->data().toInt());
}

void SourceStrip::RunCommand(int command_id)
{
    CXBar* bar = HostBar();
    switch (command_id) {
    case kCmdStripDocking:
        if (bar) bar->setFloating(!bar->isFloating());
        break;
    case kCmdStripHide:
        if (bar) bar->hide();
        break;
    case kCmdStripDelete: DeleteSelected(); break;
    case kCmdStripProperties: ShowProperties(); break;
    default: break;
    }
}

}  // namespace tp
