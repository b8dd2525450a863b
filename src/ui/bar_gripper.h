// The title strip of a docked CXBar: three ridged lines to grab the bar by and a small close button.
// It runs down the left side when the bar lies in a row (top or bottom) and across the top when it stands
// in a column (left or right). Presses away from the close button pass through to the dock widget, which
// drags the bar and toggles docked and floating on a double click.
#pragma once

#include <QWidget>

class QDockWidget;

namespace tp {

class BarGripper : public QWidget {
    Q_OBJECT

public:
    static constexpr int kBreadth = 12;
    static constexpr int kCloseButtonSize = 11;

    explicit BarGripper(QDockWidget& bar);

    // Where the close button lies in the strip.
    QRect CloseButtonRect() const;
    bool close_hot() const { return hot_; }
    bool close_pressed() const { return pressed_; }

    QSize sizeHint() const override { return {kBreadth, kBreadth}; }
    QSize minimumSizeHint() const override { return {kBreadth, kBreadth}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool vertical() const;
    void SetCloseState(bool hot, bool pressed);

    QDockWidget& bar_;
    bool hot_ = false;
    bool pressed_ = false;
    bool tracking_ = false;  // the left button went down on the close button and is still held
};

}  // namespace tp
