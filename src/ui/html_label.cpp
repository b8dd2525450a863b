#include "ui/html_label.h"

#include <algorithm>
#include <utility>

#include <QDesktopServices>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include "ui/artwork.h"

namespace tp {

namespace {

// Targets are kept as written in the markup, quotes and all; the browser wants the bare address.
QString WithoutQuotes(const QString& target)
{
    const QString trimmed = target.trimmed();
    const bool quoted = trimmed.size() >= 2 && trimmed.front() == trimmed.back() &&
                        (trimmed.front() == u'"' || trimmed.front() == u'\'');
    return quoted ? trimmed.mid(1, trimmed.size() - 2) : trimmed;
}

void OpenInDesktop(const QString& target) { QDesktopServices::openUrl(QUrl::fromUserInput(target)); }

}  // namespace

HtmlLabel::HtmlLabel(QWidget* parent) : HtmlLabel(QString(), parent) {}

HtmlLabel::HtmlLabel(const QString& text, QWidget* parent) : QFrame(parent), text_(text), open_link_(OpenInDesktop)
{
    // The pointer is followed to switch to the hand over links.
    setMouseTracking(true);
}

void HtmlLabel::setText(const QString& text)
{
    text_ = text;
    update();
}

QColor HtmlLabel::setBackgroundColor(const QColor& colour)
{
    const QColor previous = backgroundColor();
    background_ = colour;
    update();
    return previous;
}

QColor HtmlLabel::setTextColor(const QColor& colour)
{
    const QColor previous = textColor();
    text_colour_ = colour;
    update();
    return previous;
}

QColor HtmlLabel::backgroundColor() const { return background_.value_or(palette().color(QPalette::Window)); }

QColor HtmlLabel::textColor() const { return text_colour_.value_or(palette().color(QPalette::WindowText)); }

void HtmlLabel::setTransparent(bool transparent)
{
    transparent_ = transparent;
    update();
}

void HtmlLabel::setStaticEdge(bool edge)
{
    setFrameStyle(edge ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
    setLineWidth(1);
}

void HtmlLabel::setLinkOpener(LinkOpener opener) { open_link_ = std::move(opener); }

QFont HtmlLabel::RunFont(const HtmlRunStyle& style) const
{
    QFont run_font = font();
    if (!style.face.isEmpty()) run_font.setFamily(style.face);
    if (style.size_increase != 0) {
        run_font.setPixelSize(std::max(1, QFontInfo(font()).pixelSize() + style.size_increase));
    }
    run_font.setWeight(style.bold ? QFont::Bold : QFont::Normal);
    run_font.setItalic(style.italic);
    run_font.setUnderline(style.underline);
    run_font.setStrikeOut(style.strike_out);
    return run_font;
}

HtmlLabel::LaidOutText HtmlLabel::LayOut() const
{
    HtmlRunStyle start;
    start.text_colour = textColor();
    start.background_colour = transparent_ ? QColor(Qt::transparent) : backgroundColor();

    LaidOutText laid_out;
    laid_out.runs = ParseHtmlMarkup(text_, start);
    for (const HtmlRun& run : laid_out.runs) laid_out.fonts.push_back(RunFont(run.style));
    const auto measure = [&](int run_index, const QString& text) {
        const QFontMetrics metrics(laid_out.fonts[run_index], this);
        return QSize(metrics.horizontalAdvance(text), metrics.height());
    };
    laid_out.pieces = LayOutHtmlRuns(laid_out.runs, contentsRect().size(), measure);
    return laid_out;
}

std::optional<QString> HtmlLabel::LinkAt(QPoint position) const
{
    const LaidOutText laid_out = LayOut();
    const QPoint client_position = position - contentsRect().topLeft();
    for (const HtmlPiece& piece : laid_out.pieces) {
        const std::optional<QString>& target = laid_out.runs[piece.run_index].style.link_target;
        if (target && piece.rect.contains(client_position)) return target;
    }
    return std::nullopt;
}

void HtmlLabel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect client = contentsRect();
    painter.setClipRect(client);
    if (!transparent_) painter.fillRect(client, backgroundColor());

    const LaidOutText laid_out = LayOut();
    for (const HtmlPiece& piece : laid_out.pieces) {
        const HtmlRunStyle& style = laid_out.runs[piece.run_index].style;
        const QFont& run_font = laid_out.fonts[piece.run_index];
        const QRect rect = piece.rect.translated(client.topLeft());
        painter.fillRect(rect, style.background_colour);
        painter.setFont(run_font);
        painter.setPen(style.text_colour);
        painter.drawText(rect.topLeft() + QPoint(0, QFontMetrics(run_font, this).ascent()), piece.text);
    }
}

void HtmlLabel::mouseMoveEvent(QMouseEvent* event)
{
    const bool over_link = LinkAt(event->position().toPoint()).has_value();
    if (over_link != over_link_) {
        over_link_ = over_link;
        if (over_link) setCursor(LinkCursor());
        else unsetCursor();
    }
    QFrame::mouseMoveEvent(event);
}

void HtmlLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (const std::optional<QString> target = LinkAt(event->position().toPoint())) {
            if (open_link_) open_link_(WithoutQuotes(*target));
            event->accept();
            return;
        }
    }
    QFrame::mouseReleaseEvent(event);
}

}  // namespace tp
