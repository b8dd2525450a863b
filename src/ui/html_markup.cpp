#include "ui/html_markup.h"

#include <algorithm>
#include <cstdint>

namespace tp {

namespace {

struct ColourName {
    const char* name;
    std::uint32_t rgb;
};

// The names a "color" or "bgcolor" value may use, matched regardless of case.
constexpr ColourName kColourNames[] = {
    {"AliceBlue", 0xF0F8FF},
    {"AntiqueWhite", 0xFAEBD7},
    {"Aqua", 0x00FFFF},
    {"Aquamarine", 0x7FFFD4},
    {"Azure", 0xF0FFFF},
    {"Beige", 0xF5F5DC},
    {"Bisque", 0xFFE4C4},
    {"Black", 0x000000},
    {"BlanchedAlmond", 0xFFFFCD},
    {"Blue", 0x0000FF},
    {"BlueViolet", 0x8A2BE2},
    {"Brown", 0xA52A2A},
    {"Burlywood", 0xDEB887},
    {"CadetBlue", 0x5F9EA0},
    {"Chartreuse", 0x7FFF00},
    {"Chocolate", 0xD2691E},
    {"Coral", 0xFF7F50},
    {"CornflowerBlue", 0x6495ED},
    {"Cornsilk", 0xFFF8DC},
    {"Crimson", 0xDC143C},
    {"Cyan", 0x00FFFF},
    {"DarkBlue", 0x00008B},
    {"DarkCyan", 0x008B8B},
    {"DarkGoldenRod", 0xB8860B},
    {"DarkGray", 0xA9A9A9},
    {"DarkGreen", 0x006400},
    {"DarkKhaki", 0xBDB76B},
    {"DarkMagenta", 0x8B008B},
    {"DarkOliveGreen", 0x556B2F},
    {"DarkOrange", 0xFF8C00},
    {"DarkOrchid", 0x9932CC},
    {"DarkRed", 0x8B0000},
    {"DarkSalmon", 0xE9967A},
    {"DarkSeaGreen", 0x8FBC8F},
    {"DarkSlateBlue", 0x483D8B},
    {"DarkSlateGray", 0x2F4F4F},
    {"DarkTurquoise", 0x00CED1},
    {"DarkViolet", 0x9400D3},
    {"DeepPink", 0xFF1493},
    {"DeepSkyBlue", 0x00BFFF},
    {"DimGray", 0x696969},
    {"DodgerBlue", 0x1E90FF},
    {"FireBrick", 0xB22222},
    {"FloralWhite", 0xFFFAF0},
    {"ForestGreen", 0x228B22},
    {"Fuchsia", 0xFF00FF},
    {"Gainsboro", 0xDCDCDC},
    {"GhostWhite", 0xF8F8FF},
    {"Gold", 0xFFD700},
    {"GoldenRod", 0xDAA520},
    {"Gray", 0x7F7F7F},
    {"Green", 0x008000},
    {"GreenYellow", 0xADFF2F},
    {"HoneyDew", 0xF0FFF0},
    {"HotPink", 0xFF69B4},
    {"IndianRed", 0xCD5C5C},
    {"Indigo", 0x4B0082},
    {"Ivory", 0xFFFFF0},
    {"Khaki", 0xF0E68C},
    {"Lavender", 0xE6E6FA},
    {"LavenderBlush", 0xFFF0F5},
    {"Lawngreen", 0x7CFC00},
    {"LemonChiffon", 0xFFFACD},
    {"LightBlue", 0xADD8E6},
    {"LightCoral", 0xF08080},
    {"LightCyan", 0xE0FFFF},
    {"LightGoldenRodYellow", 0xFAFAD2},
    {"LightGreen", 0x90EE90},
    {"LightGrey", 0xD3D3D3},
    {"LightPink", 0xFFB6C1},
    {"LightSalmon", 0xFFA07A},
    {"LightSeaGreen", 0x20B2AA},
    {"LightSkyBlue", 0x87CEFA},
    {"LightSlateGray", 0x778899},
    {"LightSteelBlue", 0xB0C4DE},
    {"LightYellow", 0xFFFFE0},
    {"Lime", 0x00FF00},
    {"LimeGreen", 0x32CD32},
    {"Linen", 0xFAF0E6},
    {"Magenta", 0xFF00FF},
    {"Maroon", 0x800000},
    {"MediumAquamarine", 0x66CDAA},
    {"MediumBlue", 0x0000CD},
    {"MediumOrchid", 0xBA55D3},
    {"MediumPurple", 0x9370DB},
    {"MediumSeaGreen", 0x3CB371},
    {"MediumSlateBlue", 0x7B68EE},
    {"MediumSpringGreen", 0x00FA9A},
    {"MediumTurquoise", 0x48D1CC},
    {"MediumVioletRed", 0xC71585},
    {"MidnightBlue", 0x191970},
    {"MintCream", 0xF5FFFA},
    {"MistyRose", 0xFFE4E1},
    {"Moccasin", 0xFFE4B5},
    {"NavajoWhite", 0xFFDEAD},
    {"Navy", 0x000080},
    {"OldLace", 0xFDF5E6},
    {"Olive", 0x808000},
    {"OliveDrab", 0x6B8E23},
    {"Orange", 0xFFA500},
    {"OrangeRed", 0xFF4500},
    {"Orchid", 0xDA70D6},
    {"PaleGoldenRod", 0xEEE8AA},
    {"PaleGreen", 0x98FB98},
    {"PaleTurquoise", 0xAFEEEE},
    {"PaleVioletRed", 0xDB7093},
    {"PapayaWhip", 0xFFEFD5},
    {"PeachPuff", 0xFFDAB9},
    {"Peru", 0xCD853F},
    {"Pink", 0xFFC0CB},
    {"Plum", 0xDDA0DD},
    {"PowderBlue", 0xB0E0E6},
    {"Purple", 0x800080},
    {"Red", 0xFF0000},
    {"RosyBrown", 0xBC8F8F},
    {"RoyalBlue", 0x4169E1},
    {"SaddleBrown", 0x8B4513},
    {"Salmon", 0xFA8072},
    {"SandyBrown", 0xF4A460},
    {"SeaGreen", 0x2E8B57},
    {"SeaShell", 0xFFF5EE},
    {"Sienna", 0xA0522D},
    {"Silver", 0xC0C0C0},
    {"SkyBlue", 0x87CEEB},
    {"SlateBlue", 0x6A5ACD},
    {"SlateGray", 0x708090},
    {"Snow", 0xFFFAFA},
    {"SpringGreen", 0x00FF7F},
    {"SteelBlue", 0x4682B4},
    {"Tan", 0xD2B48C},
    {"Teal", 0x008080},
    {"Thistle", 0xD8BFD8},
    {"Tomato", 0xFF6347},
    {"Turquoise", 0x40E0D0},
    {"Violet", 0xEE82EE},
    {"Wheat", 0xF5DEB3},
    {"White", 0xFFFFFF},
    {"WhiteSmoke", 0xF5F5F5},
    {"Yellow", 0xFFFF00},
    {"YellowGreen", 0x8BCD32},
};

QColor FromRgb(std::uint32_t rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// The decimal number a text starts with (spaces and a sign allowed before it); 0 when there is none.
int LeadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i].isDigit() && value < 1'000'000'000; ++i) {
        value = value * 10 + text[i].digitValue();
    }
    return static_cast<int>(negative ? -value : value);
}

int ColourChannel(QStringView text) { return std::clamp(LeadingNumber(text), 0, 255); }

// "r, g, b", "#rrggbb" or a colour name. A malformed "#" value leaves the colour as it was; an unknown name
// gives black.
QColor ColourValue(const QString& value, const QColor& current)
{
    if (value.contains(u',')) {
        const qsizetype first = value.indexOf(u',');
        const qsizetype second = value.indexOf(u',', first + 1);
        const QStringView view(value);
        return QColor(ColourChannel(view.left(first)), ColourChannel(view.mid(first + 1)),
                      second < 0 ? 0 : ColourChannel(view.mid(second + 1)));
    }
    if (value.contains(u'#')) {
        const bool well_formed = value.size() == 7 && value[0] == u'#' &&
                                 std::all_of(value.begin() + 1, value.end(), [](QChar c) {
                                     return QLatin1StringView("0123456789abcdefABCDEF").contains(c);
                                 });
        return well_formed ? FromRgb(value.mid(1).toUInt(nullptr, 16)) : current;
    }
    for (const ColourName& entry : kColourNames) {
        if (value.compare(QLatin1StringView(entry.name), Qt::CaseInsensitive) == 0) return FromRgb(entry.rgb);
    }
    return QColor(Qt::black);
}

enum class Tag {
    kBoldOn, kBoldOff, kItalicOn, kItalicOff, kUnderlineOn, kUnderlineOff, kStrikeOn, kStrikeOff,
    kFont, kFontEnd, kLink, kLinkEnd, kBreak
};

// Mixed-case spellings are deliberately not tags: they are shown as text.
struct TagSpelling {
    Tag tag;
    QLatin1StringView lower;
    QLatin1StringView upper;
};

constexpr TagSpelling kTags[] = {
    {Tag::kBoldOn, QLatin1StringView("<b>"), QLatin1StringView("<B>")},
    {Tag::kBoldOff, QLatin1StringView("</b>"), QLatin1StringView("</B>")},
    {Tag::kItalicOn, QLatin1StringView("<i>"), QLatin1StringView("<I>")},
    {Tag::kItalicOff, QLatin1StringView("</i>"), QLatin1StringView("</I>")},
    {Tag::kUnderlineOn, QLatin1StringView("<u>"), QLatin1StringView("<U>")},
    {Tag::kUnderlineOff, QLatin1StringView("</u>"), QLatin1StringView("</U>")},
    {Tag::kStrikeOn, QLatin1StringView("<strike>"), QLatin1StringView("<STRIKE>")},
    {Tag::kStrikeOff, QLatin1StringView("</strike>"), QLatin1StringView("</STRIKE>")},
    {Tag::kFont, QLatin1StringView("<font"), QLatin1StringView("<FONT")},
    {Tag::kFontEnd, QLatin1StringView("</font>"), QLatin1StringView("</FONT>")},
    {Tag::kLink, QLatin1StringView("<a href="), QLatin1StringView("<A HREF=")},
    {Tag::kLinkEnd, QLatin1StringView("</a>"), QLatin1StringView("</A>")},
    {Tag::kBreak, QLatin1StringView("<br>"), QLatin1StringView("<BR>")},
};

const TagSpelling* TagAt(QStringView rest)
{
    for (const TagSpelling& spelling : kTags) {
        if (rest.startsWith(spelling.lower) || rest.startsWith(spelling.upper)) return &spelling;
    }
    return nullptr;
}

enum class FontAttribute { kColour, kBackground, kFace, kSize };

struct FontAttributeSpelling {
    FontAttribute attribute;
    QLatin1StringView lower;
    QLatin1StringView upper;
};

constexpr FontAttributeSpelling kFontAttributes[] = {
    {FontAttribute::kColour, QLatin1StringView("color"), QLatin1StringView("COLOR")},
    {FontAttribute::kBackground, QLatin1StringView("bgcolor"), QLatin1StringView("BGCOLOR")},
    {FontAttribute::kFace, QLatin1StringView("face"), QLatin1StringView("FACE")},
    {FontAttribute::kSize, QLatin1StringView("size"), QLatin1StringView("SIZE")},
};

// A face name is limited to what a font description holds.
constexpr qsizetype kMaxFaceBytes = 32;

class MarkupParser {
public:
    explicit MarkupParser(const HtmlRunStyle& start) : start_(start), current_(start) {}

    std::vector<HtmlRun> Parse(const QString& markup)
    {
        qsizetype pos = 0;
        while (pos < markup.size()) {
            const QStringView rest = QStringView(markup).mid(pos);
            if (const TagSpelling* spelling = TagAt(rest)) {
                pos += Apply(spelling->tag, spelling->lower.size(), rest);
                continue;
            }
            // Text up to the next "<"; a "<" that starts no tag is part of the text.
            qsizetype end = markup.indexOf(u'<', pos + 1);
            if (end < 0) end = markup.size();
            runs_.push_back({HtmlRun::Kind::kText, markup.mid(pos, end - pos), Style()});
            pos = end;
        }
        return std::move(runs_);
    }

private:
    // Applies the tag at the start of `rest` and returns how many characters it takes.
    qsizetype Apply(Tag tag, qsizetype tag_length, QStringView rest)
    {
        switch (tag) {
        case Tag::kBoldOn: ++bold_; break;
        case Tag::kBoldOff: bold_ = std::max(bold_ - 1, 0); break;
        case Tag::kItalicOn: ++italic_; break;
        case Tag::kItalicOff: italic_ = std::max(italic_ - 1, 0); break;
        case Tag::kUnderlineOn: ++underline_; break;
        case Tag::kUnderlineOff: underline_ = std::max(underline_ - 1, 0); break;
        case Tag::kStrikeOn: ++strike_out_; break;
        case Tag::kStrikeOff: strike_out_ = std::max(strike_out_ - 1, 0); break;
        case Tag::kFontEnd: {
            // No stack: the end of any font tag returns to the starting font and colours.
            const std::optional<QString> link = current_.link_target;
            current_ = start_;
            current_.link_target = link;
            break;
        }
        case Tag::kLinkEnd: current_.link_target.reset(); break;
        case Tag::kBreak: runs_.push_back({HtmlRun::Kind::kLineBreak, QString(), Style()}); break;
        case Tag::kFont:
        case Tag::kLink: {
            // An unterminated tag is passed over without effect.
            const qsizetype close = rest.indexOf(u'>', tag_length);
            if (close < 0) return tag_length;
            const QStringView inside = rest.mid(tag_length, close - tag_length);
            if (tag == Tag::kFont) ApplyFontAttributes(inside);
            else current_.link_target = inside.toString();
            return close + 1;
        }
        }
        return tag_length;
    }

    // Walks `attributes="values"` left to right; a value without its closing quote ends the walk.
    void ApplyFontAttributes(QStringView attributes)
    {
        qsizetype i = 0;
        while (i < attributes.size()) {
            if (attributes[i] == u' ') {
                ++i;
                continue;
            }
            const QStringView at = attributes.mid(i);
            const auto* name = std::find_if(std::begin(kFontAttributes), std::end(kFontAttributes),
                                            [at](const FontAttributeSpelling& spelling) {
                                                return at.startsWith(spelling.lower) || at.startsWith(spelling.upper);
                                            });
            if (name == std::end(kFontAttributes)) {
                i = attributes.indexOf(u' ', i);
                if (i < 0) return;
                continue;
            }
            const qsizetype open = attributes.indexOf(u'"', i + name->lower.size());
            const qsizetype close = open < 0 ? -1 : attributes.indexOf(u'"', open + 1);
            if (close < 0) return;
            const QString value = attributes.mid(open + 1, close - open - 1).toString();
            switch (name->attribute) {
            case FontAttribute::kColour: current_.text_colour = ColourValue(value, current_.text_colour); break;
            case FontAttribute::kBackground:
                current_.background_colour = ColourValue(value, current_.background_colour);
                break;
            case FontAttribute::kFace: current_.face = FaceName(value); break;
            // The height grows by the size: a positive size makes the text larger.
            case FontAttribute::kSize: current_.size_increase += LeadingNumber(value); break;
            }
            i = close + 1;
        }
    }

    static QString FaceName(QString value)
    {
        while (value.toUtf8().size() > kMaxFaceBytes) value.chop(1);
        return value;
    }

    HtmlRunStyle Style() const
    {
        HtmlRunStyle style = current_;
        style.bold = bold_ > 0;
        style.italic = italic_ > 0;
        style.underline = underline_ > 0;
        style.strike_out = strike_out_ > 0;
        return style;
    }

    const HtmlRunStyle start_;
    // Colours, face, size and link; the four flags come from the counters.
    HtmlRunStyle current_;
    int bold_ = 0;
    int italic_ = 0;
    int underline_ = 0;
    int strike_out_ = 0;
    std::vector<HtmlRun> runs_;
};

bool IsBlank(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c == u' ' || c == u'\t'; });
}

QString WithoutLeadingSpaces(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ') ++i;
    return text.mid(i);
}

// Words with the spaces before each; trailing spaces form a last piece of their own.
std::vector<QString> SpacedWords(const QString& text)
{
    std::vector<QString> words;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] == u' ') ++end;
        while (end < text.size() && text[end] != u' ') ++end;
        words.push_back(text.mid(start, end - start));
        start = end;
    }
    return words;
}

// Lines separated by "\r\n" (a lone "\n" also ends a line).
std::vector<QString> SplitLines(const QString& text)
{
    std::vector<QString> lines;
    for (const QString& line : text.split(u'\n')) lines.push_back(line.endsWith(u'\r') ? line.chopped(1) : line);
    return lines;
}

class RunWrapper {
public:
    RunWrapper(QSize client_size, const MeasureRunText& measure) : client_(client_size), measure_(measure) {}

    bool BelowClient() const { return y_ >= client_.height() - 1; }

    void BreakLine(int run_index) { NextLine(measure_(run_index, QString()).height()); }

    void Wrap(int run_index, const QString& text)
    {
        const std::vector<QString> lines = SplitLines(text);
        for (std::size_t k = 0; k < lines.size(); ++k) {
            // Leading spaces separate this run from the text before it on the same line, nothing more.
            const bool mid_line = k == 0 && offset_ > 0;
            QString line;
            for (const QString& word : SpacedWords(mid_line ? lines[k] : WithoutLeadingSpaces(lines[k]))) {
                const QString longer = line + word;
                if (measure_(run_index, longer).width() < client_.width() - offset_ - 5) {
                    line = longer;
                } else if (!IsBlank(line) || offset_ > 0) {
                    if (IsBlank(word)) continue;  // spaces alone never open a line
                    const QSize extent = measure_(run_index, line);
                    Emit(run_index, line, extent);
                    NextLine(extent.height());
                    line = WithoutLeadingSpaces(word);
                } else {
                    // A word wider than the whole line stands alone on it and is clipped at the right edge.
                    line = longer;
                }
            }
            const QSize extent = measure_(run_index, line);
            Emit(run_index, line, extent);
            if (k + 1 < lines.size()) NextLine(extent.height());
            else offset_ += extent.width();
        }
    }

    std::vector<HtmlPiece> TakePieces() { return std::move(pieces_); }

private:
    void Emit(int run_index, const QString& line, QSize extent)
    {
        line_height_ = std::max(line_height_, extent.height());
        if (IsBlank(line) || y_ + extent.height() > client_.height()) return;
        pieces_.push_back({run_index, line, QRect(QPoint(offset_, y_), extent)});
    }

    // A line is as tall as the tallest run on it, so a larger run never overlaps the line below.
    void NextLine(int line_height)
    {
        y_ += std::max(line_height_, line_height);
        line_height_ = 0;
        offset_ = 0;
    }

    const QSize client_;
    const MeasureRunText& measure_;
    int offset_ = 0;
    int y_ = 0;
    int line_height_ = 0;  // of what the current line holds so far
    std::vector<HtmlPiece> pieces_;
};

}  // namespace

std::vector<HtmlRun> ParseHtmlMarkup(const QString& markup, const HtmlRunStyle& start)
{
    return MarkupParser(start).Parse(markup);
}

std::vector<HtmlPiece> LayOutHtmlRuns(const std::vector<HtmlRun>& runs, QSize client_size,
                                      const MeasureRunText& measure)
{
    RunWrapper wrapper(client_size, measure);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        // Lines only move down, so once one starts below the client area nothing more can be drawn.
        if (wrapper.BelowClient()) break;
        const int run_index = static_cast<int>(i);
        if (runs[i].kind == HtmlRun::Kind::kLineBreak) wrapper.BreakLine(run_index);
        else wrapper.Wrap(run_index, runs[i].text);
    }
    return wrapper.TakePieces();
}

}  // namespace tp
