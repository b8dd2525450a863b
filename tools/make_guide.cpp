// Writes the user's guide as a PDF from its HTML source (pictures beside it): make-guide GUIDE.html OUT.pdf.
// Run with QT_QPA_PLATFORM=offscreen; the build runs it.
#include <cstdio>

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>

int main(int argc, char* argv[])
{
    QGuiApplication qt(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-guide GUIDE.html OUT.pdf\n");
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QString html = QString::fromUtf8(source.readAll());
    // A missing picture would leave the guide's layout broken (its pages come out empty): refuse it.
    const QString folder = QFileInfo(source).absolutePath();
    for (const QRegularExpressionMatch& picture :
         QRegularExpression(QStringLiteral("<img src=\"([^\"]+)\"")).globalMatch(html)) {
        if (!QFileInfo(folder + QLatin1Char('/') + picture.captured(1)).isFile()) {
            std::fprintf(stderr, "the guide's picture %s is missing\n", qPrintable(picture.captured(1)));
            return 1;
        }
    }
    QTextDocument guide;
    // Pictures are named relative to the guide's own folder.
    guide.setMetaInformation(QTextDocument::DocumentUrl,
                             QUrl::fromLocalFile(folder + QLatin1Char('/')).toString());
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10.0);
    guide.setDefaultFont(font);
    guide.setDefaultStyleSheet(QStringLiteral(
        "h1 { color: #1d5f9f; } h2 { color: #1d5f9f; margin-top: 18px; } h3 { color: #34475c; } "
        "pre { background-color: #f2f2f2; } li { margin-bottom: 3px; }"));
    guide.setHtml(html);

    const QString output = QString::fromLocal8Bit(argv[2]);
    {
        QPdfWriter writer(output);  // the file is complete once the writer goes
        writer.setTitle(QStringLiteral("Tarnel Plexaro User's Guide"));
        writer.setCreator(QStringLiteral("Tarnel Plexaro"));
        writer.setResolution(150);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18),
                                         QPageLayout::Millimeter));
        guide.print(&writer);
    }
    if (!QFileInfo(output).isFile() || QFileInfo(output).size() == 0) {
        std::fprintf(stderr, "could not write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
