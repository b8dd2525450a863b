// The window inside the "Source Images" bar: every source image of the project as a numbered thumbnail, in
// project order, in a row when the bar is wider than tall and in a column otherwise. The user selects an
// image, drags it to a new place in the order, deletes it, or asks for its file's properties.
#pragma once

#include <QImage>
#include <QRect>

#include <memory>
#include <string>
#include <vector>

#include "imaging/image_buffer.h"
#include "ui/scroll_panel.h"
#include "ui/strip_layout.h"

class QMenu;

namespace tp {

class CXBar;
class FrameServices;

class SourceStrip : public ScrollPanel {
    Q_OBJECT

public:
    explicit SourceStrip(FrameServices& services, QWidget* parent = nullptr);

    // Lays the thumbnails out again; the frame calls it whenever the source list changes.
    void Relayout();

    int selected_index() const { return selected_; }  // -1 when nothing is selected
    // A second click on the selected image without moving deselects it; Delete and Properties need it set.
    bool selection_active() const { return selection_active_; }
    bool horizontal() const { return layout_.horizontal; }
    // Where entry `index` is drawn, in content coordinates (empty for an index out of range).
    QRect EntryRect(int index) const;

    // The context menu for a right click at `viewport_position` (each action's data is its command id).
    std::unique_ptr<QMenu> CreateContextMenu(QPoint viewport_position);
    // The context menu's commands: docking toggle, properties, delete, hide.
    void RunCommand(int command_id);

protected:
    void PaintContent(QPainter& painter, const QRect& exposed) override;
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct ScaledThumbnail {
        const ColorImage* source = nullptr;  // the picture it was scaled from, to tell a stale one
        QImage image;
    };

    int EntryAt(QPoint content_position) const;
    int EntryCount() const;
    void Select(int index);
    void ClearSelection();
    void ShowSelectedPath();
    void ShowReady();
    void DeleteSelected();
    void ShowProperties();
    // After this strip changed the order or removed an image.
    void SourceListEditedHere();
    void DrawDragFrame(QPainter& painter) const;
    CXBar* HostBar() const;

    FrameServices& services_;
    StripLayout layout_;
    std::vector<ScaledThumbnail> thumbnails_;
    int selected_ = -1;
    std::string selected_path_;  // tells whether the selected entry is still where it was
    bool selection_active_ = false;
    int dragged_ = -1;           // entry the left button went down on, while it is held
    QPoint press_position_;      // viewport coordinates
    QRect drag_rect_;            // content coordinates
    bool relayout_running_ = false;
};

}  // namespace tp
