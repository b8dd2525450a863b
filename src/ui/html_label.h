// A label that paints a small subset of HTML with its own painter: bold, italic, underline and strike-out,
// font colour, background, face and size, line breaks, and links that open in the desktop's browser.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QString>

#include "ui/html_markup.h"

namespace tp {

class HtmlLabel : public QFrame {
    Q_OBJECT

public:
    // Called with a clicked link's target, its surrounding quotes removed.
    using LinkOpener = std::function<void(const QString& target)>;

    explicit HtmlLabel(QWidget* parent = nullptr);
    explicit HtmlLabel(const QString& text, QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);

    // Each returns the colour in use before. Until set, the palette's window and window-text colours.
    QColor setBackgroundColor(const QColor& colour);
    QColor setTextColor(const QColor& colour);
    QColor backgroundColor() const;
    QColor textColor() const;

    // A transparent label paints no background of its own: what lies behind it shows between and behind the
    // letters, except where the text asks for a background colour.
    void setTransparent(bool transparent);
    bool isTransparent() const { return transparent_; }

    // A one-pixel sunken edge around the text.
    void setStaticEdge(bool edge);
    bool hasStaticEdge() const { return frameShape() != QFrame::NoFrame; }

    // Replaces the default, which hands the target to the desktop's URL handler.
    void setLinkOpener(LinkOpener opener);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct LaidOutText {
        std::vector<HtmlRun> runs;
        std::vector<QFont> fonts;  // one per run
        std::vector<HtmlPiece> pieces;
    };

    // The text parsed and wrapped for the current size and font. Painting and clicking both use it, so the
    // link areas always match what is on the screen.
    LaidOutText LayOut() const;
    QFont RunFont(const HtmlRunStyle& style) const;
    std::optional<QString> LinkAt(QPoint position) const;

    QString text_;
    std::optional<QColor> background_;
    std::optional<QColor> text_colour_;
    bool transparent_ = false;
    bool over_link_ = false;
    LinkOpener open_link_;
};

}  // namespace tp
