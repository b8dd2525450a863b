#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "ui/about_box.h"
#include "ui/artwork.h"
#include "ui/html_label.h"
#include "ui/html_markup.h"

namespace tp {
namespace {

const QColor kStartText(1, 2, 3);
const QColor kStartBackground(250, 251, 252);

std::vector<HtmlRun> Parse(const QString& markup)
{
    HtmlRunStyle start;
    start.text_colour = kStartText;
    start.background_colour = kStartBackground;
    return ParseHtmlMarkup(markup, start);
}

HtmlRunStyle LastStyle(const QString& markup)
{
    const std::vector<HtmlRun> runs = Parse(markup);
    return runs.empty() ? HtmlRunStyle() : runs.back().style;
}

// Run texts in order, a line break written as "\n".
QStringList RunTexts(const QString& markup)
{
    QStringList texts;
    for (const HtmlRun& run : Parse(markup)) texts << (run.kind == HtmlRun::Kind::kLineBreak ? "\n" : run.text);
    return texts;
}

TEST(HtmlMarkup, StyleTagsInLowerOrUpperCaseOnly)
{
    struct Case {
        QString markup;
        bool bold, italic, underline, strike_out;
    } const cases[] = {
        {"<b>x", true, false, false, false},
        {"<B>x</b>", true, false, false, false},  // closed after the text
        {"<B>a</b>x", false, false, false, false},
        {"<b><b>a</b>x", true, false, false, false},
        {"</b><b>x", true, false, false, false},  // closing never goes below zero
        {"<i>x", false, true, false, false},
        {"<I><u>x", false, true, true, false},
        {"<U>a</U>x", false, false, false, false},
        {"<strike>x", false, false, false, true},
        {"<STRIKE>a</strike>x", false, false, false, false},
        {"<Strike>x", false, false, false, false},
    };
    for (const Case& c : cases) {
        const HtmlRunStyle style = LastStyle(c.markup);
        EXPECT_EQ(style.bold, c.bold) << c.markup.toStdString();
        EXPECT_EQ(style.italic, c.italic) << c.markup.toStdString();
        EXPECT_EQ(style.underline, c.underline) << c.markup.toStdString();
        EXPECT_EQ(style.strike_out, c.strike_out) << c.markup.toStdString();
    }
}

TEST(HtmlMarkup, RunsTextsBreaksAndLiterals)
{
    struct Case {
        QString markup;
        QStringList texts;
    } const cases[] = {
        {"plain", {"plain"}},
        {"a<br>b<BR>", {"a", "\n", "b", "\n"}},
        {"1 < 2 <x>", {"1 ", "< 2 ", "<x>"}},
        {"<Strike>x", {"<Strike>x"}},
        {"a<font b", {"a", " b"}},  // an unterminated font tag is passed over
        {"<b>a</B><i></i>b", {"a", "b"}},
    };
    for (const Case& c : cases) EXPECT_EQ(RunTexts(c.markup), c.texts) << c.markup.toStdString();
}

TEST(HtmlMarkup, FontColours)
{
    struct Case {
        QString markup;
        QColor text;
        QColor background;
    } const cases[] = {
        {"<font color=\"#FF0000\">x", QColor(255, 0, 0), kStartBackground},
        {"<FONT COLOR=\"#00ff80\">x", QColor(0, 255, 128), kStartBackground},
        {"<font color=\"#F00\">x", kStartText, kStartBackground},
        {"<font color=\"10, 20, 30\">x", QColor(10, 20, 30), kStartBackground},
        {"<font color=\"blanchedalmond\">x", QColor(0xFF, 0xFF, 0xCD), kStartBackground},
        {"<font color=\"YELLOWGREEN\" bgcolor=\"Gray\">x", QColor(0x8B, 0xCD, 0x32), QColor(0x7F, 0x7F, 0x7F)},
        {"<font bgcolor=\"no such colour\">x", kStartText, QColor(0, 0, 0)},
        {"<font color=\"red\"><font bgcolor=\"navy\">a</font>x", kStartText, kStartBackground},
        {"<font unknown=1 color=\"lime\">x", QColor(0, 255, 0), kStartBackground},
        {"<font color=\"red>x", kStartText, kStartBackground},  // no closing quote: nothing applies
    };
    for (const Case& c : cases) {
        const HtmlRunStyle style = LastStyle(c.markup);
        EXPECT_EQ(style.text_colour, c.text) << c.markup.toStdString();
        EXPECT_EQ(style.background_colour, c.background) << c.markup.toStdString();
    }
}

TEST(HtmlMarkup, FaceAndSizeAddUpAndFontEndRestoresTheStart)
{
    const std::vector<HtmlRun> runs = Parse("<font face=\"Serif\" size=\"4\"><font size=\"2\">a</font>b");
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].style.face, "Serif");
    EXPECT_EQ(runs[0].style.size_increase, 6);
    EXPECT_EQ(runs[1].style, LastStyle("b"));
    EXPECT_EQ(LastStyle(QString("<font face=\"%1\">x").arg(QString(40, 'F'))).face, QString(32, 'F'));
}

TEST(HtmlMarkup, LinkTargetsAsWritten)
{
    struct Case {
        QString markup;
        std::optional<QString> target;
    } const cases[] = {
        {"<a href=https://a.example/x?y=1>go", "https://a.example/x?y=1"},
        {"<A HREF=\"quoted\">go", "\"quoted\""},
        {"<a href=t>go</a>after", std::nullopt},
        {"<a href=t><font color=\"red\">a</font>go", "t"},
    };
    for (const Case& c : cases) EXPECT_EQ(LastStyle(c.markup).link_target, c.target) << c.markup.toStdString();
}

struct Placed {
    QString text;
    QPoint at;
    bool operator==(const Placed&) const = default;
};

std::vector<Placed> LayOut(const QString& markup, QSize client)
{
    // Every character 10 pixels wide, lines 20 high plus the run's size increase.
    const std::vector<HtmlRun> runs = Parse(markup);
    const auto measure = [&runs](int run_index, const QString& text) {
        return QSize(10 * int(text.size()), 20 + runs[run_index].style.size_increase);
    };
    std::vector<Placed> placed;
    for (const HtmlPiece& piece : LayOutHtmlRuns(runs, client, measure)) {
        placed.push_back({piece.text, piece.rect.topLeft()});
    }
    return placed;
}

TEST(HtmlLayout, WrapsAtSpacesAndContinuesAcrossRuns)
{
    struct Case {
        QString markup;
        QSize client;
        std::vector<Placed> expected;
    } const cases[] = {
        // 19 characters (190 px) stay below 200 - 5.
        {"aaaa bbbb cccc dddd eeee", {200, 100}, {{"aaaa bbbb cccc dddd", {0, 0}}, {"eeee", {0, 20}}}},
        {"aaaa bbbb cccc dddd eeee", {200, 30}, {{"aaaa bbbb cccc dddd", {0, 0}}}},
        {"abc<b>def</b> gh", {200, 100}, {{"abc", {0, 0}}, {"def", {30, 0}}, {" gh", {60, 0}}}},
        {"  ab<b>  cd</b>", {200, 100}, {{"ab", {0, 0}}, {"  cd", {20, 0}}}},
        {"ab\r\n \t \r\ncd<br><br>  ef", {200, 100}, {{"ab", {0, 0}}, {"cd", {0, 40}}, {"ef", {0, 80}}}},
        {"aaaaaaaaaaaaaaaa<b> bbbb</b>", {200, 100}, {{"aaaaaaaaaaaaaaaa", {0, 0}}, {"bbbb", {0, 20}}}},
        {"a wwwwwwwwwwww b", {100, 100}, {{"a", {0, 0}}, {"wwwwwwwwwwww", {0, 20}}, {"b", {0, 40}}}},
        {"a<br>b<br>c", {100, 45}, {{"a", {0, 0}}, {"b", {0, 20}}}},
        {"<font size=\"10\">ab</font> cd<br>ef", {200, 100}, {{"ab", {0, 0}}, {" cd", {20, 0}}, {"ef", {0, 30}}}},
    };
    for (const Case& c : cases) EXPECT_EQ(LayOut(c.markup, c.client), c.expected) << c.markup.toStdString();
}

TEST(HtmlLabel, ColourSettersReturnThePreviousColour)
{
    HtmlLabel label;
    EXPECT_EQ(label.setTextColor(Qt::red), label.palette().color(QPalette::WindowText));
    EXPECT_EQ(label.setTextColor(Qt::blue), QColor(Qt::red));
    EXPECT_EQ(label.setBackgroundColor(Qt::green), label.palette().color(QPalette::Window));
    EXPECT_EQ(label.backgroundColor(), QColor(Qt::green));
}

TEST(HtmlLabel, ClickOnALinkOpensItsTargetAndTheHandShowsOverIt)
{
    HtmlLabel label("<a href=\"https://a.example/\">linklinklink</a> plain");
    QStringList opened;
    label.setLinkOpener([&opened](const QString& target) { opened << target; });
    label.resize(300, 60);
    label.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&label));

    const QPoint on_link(4, 4);
    const QPoint below_text(290, 50);
    QTest::mouseMove(&label, on_link);
    EXPECT_EQ(label.cursor().shape(), LinkCursor().shape());
    EXPECT_EQ(label.cursor().hotSpot(), LinkCursor().hotSpot());
    QTest::mouseClick(&label, Qt::LeftButton, {}, on_link);
    EXPECT_EQ(opened, QStringList{"https://a.example/"});

    QTest::mouseMove(&label, below_text);
    EXPECT_EQ(label.cursor().shape(), Qt::ArrowCursor);
    QTest::mouseClick(&label, Qt::LeftButton, {}, below_text);
    EXPECT_EQ(opened.size(), 1);
}

TEST(AboutBox, GeometryCentredOnTheParent)
{
    QWidget parent;
    parent.setGeometry(100, 100, 800, 600);
    const AboutBox box(&parent);
    EXPECT_EQ(box.size(), QSize(505, 395));
    EXPECT_EQ(box.pos(), QPoint(500 - 253, 400 - 198));

    const auto* ok = box.findChild<QPushButton*>();
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->geometry().bottomRight() + QPoint(1, 1), QPoint(505 - 10, 395 - 10));
    const auto* text = box.findChild<HtmlLabel*>();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->geometry(), QRect(10, 240, 505 - 20, 395 - 240 - 15));
    EXPECT_TRUE(text->isTransparent());
    EXPECT_TRUE(text->hasStaticEdge());
}

}  // namespace
}  // namespace tp
