#include "ui/about_box.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>

#include "imaging/string_table.h"
#include "ui/artwork.h"
#include "ui/html_label.h"
#include "ui/ui_strings.h"

namespace tp {

namespace {

constexpr int kWidth = 505;
constexpr int kHeight = 395;
// The box's top left lies this far above and left of its parent's centre.
constexpr QPoint kOffsetFromParentCentre(253, 198);
constexpr int kButtonMargin = 10;
constexpr int kTextSideMargin = 10;
constexpr int kTextTop = 240;
constexpr int kTextBottomMargin = 15;

constexpr const char* kVersion = "1.0.0";
constexpr const char* kMaker = "Quorvel";
constexpr const char* kMakerSite = "https://www.quorvel.example/";

QString AboutMarkup()
{
    const QString site = QString::fromLatin1(kMakerSite);
    const QStringList lines = {
        QStringLiteral("<b>%1 %2</b>").arg(UiText(strings::kApplicationName), QString::fromLatin1(kVersion)),
        UiText(ui_strings::kCredits).replace(u'\n', QStringLiteral("<br>")),
        QString::fromLatin1(kMaker),
        QStringLiteral("<a href=\"%1\"><font color=\"#0000FF\">%1</font></a>").arg(site),
    };
    return lines.join(QStringLiteral("<br>"));
}

// 7 points at 96 dots per inch, so the text keeps its pixel size on any screen.
QFont AboutTextFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize((7 * 96 + 36) / 72);
    if (QFontInfo(font).family().compare(font.family(), Qt::CaseInsensitive) != 0) {
        font.setFamily(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    }
    return font;
}

// The frame's centre in global coordinates: a window's frame, or a child widget's own rectangle.
QPoint CentreOf(const QWidget& widget)
{
    const QRect area = widget.isWindow() ? widget.frameGeometry()
                                         : QRect(widget.mapToGlobal(QPoint(0, 0)), widget.size());
    return area.topLeft() + QPoint(area.width() / 2, area.height() / 2);
}

}  // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Tarnel Plexaro"));
    setFixedSize(kWidth, kHeight);
    if (parent) move(CentreOf(*parent) - kOffsetFromParentCentre);

    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    auto* picture = new QLabel(this);
    picture->setPixmap(AboutPicture(devicePixelRatioF()));
    picture->setGeometry(0, 0, kAboutPictureWidth, kAboutPictureHeight);

    auto* text = new HtmlLabel(AboutMarkup(), this);
    text->setObjectName(QStringLiteral("aboutText"));
    text->setTransparent(true);
    text->setStaticEdge(true);
    text->setFont(AboutTextFont());
    text->setGeometry(QRect(QPoint(kTextSideMargin, kTextTop),
                            QPoint(kWidth - kTextSideMargin - 1, kHeight - kTextBottomMargin - 1)));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    ok->resize(ok->sizeHint());
    ok->move(kWidth - kButtonMargin - ok->width(), kHeight - kButtonMargin - ok->height());
    ok->raise();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tp
