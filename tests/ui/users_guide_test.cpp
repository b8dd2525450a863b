#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include "frame_test_support.h"

namespace tp {
namespace {

#ifdef TP_GUIDE_PATH
// The guide's text as pdftotext reads it, words joined by single spaces.
QString GuideText()
{
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {QStringLiteral(TP_GUIDE_PATH), QStringLiteral("-")});
    if (!reader.waitForFinished(30000) || reader.exitCode() != 0) return QString();
    return QString::fromUtf8(reader.readAllStandardOutput()).simplified();
}

TEST(UsersGuideTest, IsAPdfThatNamesEveryMenuCommand)
{
    QFile guide(QStringLiteral(TP_GUIDE_PATH));
    ASSERT_TRUE(guide.open(QIODevice::ReadOnly)) << TP_GUIDE_PATH;
    EXPECT_EQ(guide.read(5), QByteArray("%PDF-"));
    const QString text = GuideText();
    ASSERT_FALSE(text.isEmpty()) << "pdftotext (poppler-utils) reads the guide";

    test::FrameFixture f;
    int named = 0;
    for (const int id : f.frame->commands().ids()) {
        QString name = f.frame->commands().action(id)->text();
        if (name.isEmpty() || (id >= kCmdRecentFile1 && id < kCmdRecentFile1 + 4)) continue;  // project names
        name.remove(QLatin1Char('&'));
        name.remove(QRegularExpression(QStringLiteral("\\.\\.\\.$")));
        EXPECT_TRUE(text.contains(name)) << name.toStdString() << " is not in the guide";
        ++named;
    }
    EXPECT_GT(named, 25);
}
#endif

}  // namespace
}  // namespace tp
