// The small HTML subset of the formatted label, without any painting: the markup becomes a list of styled
// runs, and the runs are wrapped into lines by a layout that measures text through a callback.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>

namespace tp {

struct HtmlRunStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike_out = false;
    QColor text_colour;
    QColor background_colour;
    // Font family; empty means the label's own font.
    QString face;
    // Pixels added to the label font's pixel size (a "size" attribute of 2 makes the text 2 pixels taller).
    int size_increase = 0;
    // Where a click on the run leads, exactly as written after "href=" (quotes included); none outside links.
    std::optional<QString> link_target;
    bool operator==(const HtmlRunStyle&) const = default;
};

struct HtmlRun {
    enum class Kind { kText, kLineBreak };
    Kind kind = Kind::kText;
    QString text;  // empty for a line break
    HtmlRunStyle style;
    bool operator==(const HtmlRun&) const = default;
};

// Turns label markup into runs. `start` gives the colours (and face and size) the text begins with and that
// "</font>" returns to. Tags count only when written all in lower or all in upper case; anything else that
// starts with "<" is shown as text.
std::vector<HtmlRun> ParseHtmlMarkup(const QString& markup, const HtmlRunStyle& start);

// Width and height of `text` drawn in the style of run `run_index`; the height is the line height of that
// style even for empty text.
using MeasureRunText = std::function<QSize(int run_index, const QString& text)>;

// One line's worth of one run, at its place in client coordinates (size = the measured text).
struct HtmlPiece {
    int run_index = 0;
    QString text;
    QRect rect;
    bool operator==(const HtmlPiece&) const = default;
};

// Wraps the runs at spaces inside a client area of `client_size` whose top left is (0, 0) and returns what
// is to be drawn. A run continues the line where the previous one ended; "\r\n" (or a line-break run) ends a
// line, which is as tall as its tallest run; runs sit at the line's top. Lines that would reach below the
// client area and lines of only spaces and tabs are left out.
std::vector<HtmlPiece> LayOutHtmlRuns(const std::vector<HtmlRun>& runs, QSize client_size,
                                      const MeasureRunText& measure);

}  // namespace tp
