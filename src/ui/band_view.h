// A band of the modification mode: a 30-pixel strip on the dark background with a label and picture
// buttons that act when released over them, each with a tooltip.
#pragma once

#include <functional>
#include <vector>

#include <QWidget>

#include "ui/band_button.h"

namespace tp {

class BandView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 30;
    BandView(const QString& label, QWidget* parent);

protected:
    struct Slot {
        CXButton button;
        QString tooltip;
        std::function<bool()> shown;     // empty: always
        std::function<bool()> can_press; // empty: always
        std::function<bool()> held;      // drawn pressed while true (the selected point)
        std::function<void()> action;
    };
    // Adds a button; returns its index.
    int AddButton(Slot slot);
    Slot& slot(int index) { return slots_[static_cast<std::size_t>(index)]; }
    // Draws what the band shows beside its buttons (after the background, label and buttons).
    virtual void PaintExtras(QPainter&) {}

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool Shown(const Slot& slot) const { return !slot.shown || slot.shown(); }
    int SlotAt(QPoint point) const;

    QString label_;
    std::vector<Slot> slots_;
    int pressed_ = -1;
    bool over_pressed_ = false;
};

}  // namespace tp
