#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>

#include "ui/application.h"
#include "ui/splash_window.h"

namespace tp {
namespace {

TEST(StartupTest, TheCommandLineNamesAProjectAndMayLeaveTheSplashOut)
{
    struct Case {
        QStringList arguments;
        QString project;
        bool splash;
    };
    const Case cases[] = {
        {{}, "", true},
        {{"trip.tnp"}, "trip.tnp", true},
        {{"--nosplash", "a.tnp", "b.tnp"}, "a.tnp", false},
        {{"--unknown"}, "", true},
    };
    for (const Case& c : cases) {
        const StartOptions options = ParseStartOptions(c.arguments);
        EXPECT_EQ(options.project, c.project) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(options.splash, c.splash) << c.arguments.join(' ').toStdString();
    }
}

TEST(StartupTest, AKeyOrMousePressDismissesTheSplashAndGoesNoFurther)
{
    QWidget other;
    other.show();
    int keys_seen = 0;
    struct KeyCounter : QObject {
        int* count;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::KeyPress) ++*count;
            return false;
        }
    } counter;
    counter.count = &keys_seen;
    other.installEventFilter(&counter);

    QPointer<SplashWindow> splash = new SplashWindow;
    splash->show();
    QTest::keyClick(&other, Qt::Key_A);
    QCoreApplication::processEvents();
    EXPECT_TRUE(splash.isNull()) << "dismissed and deleted";
    EXPECT_EQ(keys_seen, 0) << "the press only dismissed the splash";
    QTest::keyClick(&other, Qt::Key_A);
    EXPECT_EQ(keys_seen, 1);

    splash = new SplashWindow;
    splash->show();
    QTest::mouseClick(&other, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(splash.isNull());
}

}  // namespace
}  // namespace tp
