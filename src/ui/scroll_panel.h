// A panel that scrolls content of a given extent in coarse steps: 8 pixels a unit across, 4 pixels down.
// The source-image strip and the step-button bar derive from it.
#pragma once

#include <QAbstractScrollArea>
#include <QPoint>
#include <QRect>
#include <QSize>

class QPainter;

namespace tp {

inline constexpr int kScrollUnitX = 8;
inline constexpr int kScrollUnitY = 4;

// Scroll positions available for content of `extent` pixels in a client of `client` pixels, in `unit`s;
// never negative.
int ScrollRange(int extent, int client, int unit);

class ScrollPanel : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit ScrollPanel(QWidget* parent = nullptr);

    QSize content_extent() const { return extent_; }
    // How far the content is scrolled, in pixels.
    QPoint scroll_offset() const;

protected:
    // Stores the extent and sets the scroll ranges for the current client size.
    void SetContentExtent(QSize extent);
    // Content that needs scrolling along one direction only: that direction's scroll bar is shown when the
    // content is longer than the whole panel, the other never. Deciding from the whole panel rather than
    // from the client left by the bars keeps a bar from flickering on and off.
    void ShowScrollBarAlong(Qt::Orientation orientation, bool needed);
    // The client with no scroll bar shown, whatever the scroll bars' policies.
    QSize WholeClientSize() const { return contentsRect().size(); }
    // Viewport position to content position and back.
    QPoint ToContent(QPoint viewport_position) const { return viewport_position + scroll_offset(); }
    QRect ToViewport(const QRect& content_rect) const { return content_rect.translated(-scroll_offset()); }

    // Paints the part `exposed` (content coordinates) of the content; the painter is already offset.
    virtual void PaintContent(QPainter& painter, const QRect& exposed) = 0;

    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateScrollRanges();

    QSize extent_;
};

}  // namespace tp
