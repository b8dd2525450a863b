// The window inside the "Main Menu" bar: one large button per step of the work, Load, Stitch, Finalize,
// Crop, Export and Print, in a row or a column by the bar's shape. A button answers only while the document
// allows its command; hovering shows the command's prompt, a click runs it through the main frame.
#pragma once

#include <QRect>

#include <vector>

#include "ui/icon_button.h"
#include "ui/scroll_panel.h"

namespace tp {

class FrameServices;

struct StepButtonLayout {
    bool horizontal = true;
    std::vector<QRect> bounds;  // content coordinates
    QSize extent;               // (length, 0) in a row, (0, length) in a column
};

// `count` buttons of `button` size: a row when the client is wider than tall, else a column; the first
// 10 pixels from the start, each next 10 pixels after the one before, all centred across.
StepButtonLayout LayoutStepButtons(QSize client, QSize button, int count);

class StepButtonBar : public ScrollPanel {
    Q_OBJECT

public:
    static constexpr int kStepCount = 6;

    explicit StepButtonBar(FrameServices& services, QWidget* parent = nullptr);

    // After a command started here has run: the pressed button is drawn hot when the pointer is over it
    // and normal otherwise, and the bar takes input again. The frame calls it too.
    void Reset();

    bool horizontal() const { return layout_.horizontal; }
    // Step 1 (Load) .. 6 (Print): its bounds in content coordinates and how it is drawn now.
    QRect ButtonBounds(int step) const;
    CXIconButton::State ButtonState(int step) const;
    bool busy() const { return busy_; }

protected:
    void PaintContent(QPainter& painter, const QRect& exposed) override;
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Relayout();
    int ButtonAt(QPoint viewport_position) const;  // index 0..5 or -1
    bool Available(int index) const;
    void SetHot(int index);
    void NotePointer(QPoint viewport_position);

    FrameServices& services_;
    std::vector<CXIconButton> buttons_;
    StepButtonLayout layout_;
    int hot_ = -1;
    int pressed_ = -1;
    bool tracking_ = false;  // the left button went down on an available button and is held
    bool busy_ = false;      // a command started here is running
    bool pointer_inside_ = false;
    QPoint pointer_;         // last pointer position, viewport coordinates
    bool relayout_running_ = false;
};

}  // namespace tp
