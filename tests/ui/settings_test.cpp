#include <gtest/gtest.h>

#include <QSettings>

#include "test_support.h"
#include "ui/recent_files.h"
#include "ui/window_placement.h"

namespace tp {
namespace {

TEST(WindowPlacementTest, RepairMakesASavedPlacementFitTheWorkArea)
{
    const QRect work(0, 0, 1600, 1000);
    struct Case {
        const char* what;
        WindowPlacement saved;
        WindowPlacement repaired;
    };
    const Case cases[] = {
        {"maximised reopens restored over the work area", {kShowMaximized, QRect(10, 10, 800, 600)}, {kShowRestore, work}},
        {"minimised likewise", {kShowMinimized, QRect(10, 10, 800, 600)}, {kShowRestore, work}},
        {"a fitting window stays", {kShowNormal, QRect(100, 80, 800, 600)}, {kShowNormal, QRect(100, 80, 800, 600)}},
        {"300 x 200 grows to 640 x 480 about its centre", {kShowNormal, QRect(500, 400, 300, 200)},
         {kShowNormal, QRect(330, 260, 640, 480)}},
        {"grown past the left edge, then moved inside", {kShowNormal, QRect(0, 0, 300, 200)}, {kShowNormal, QRect(0, 0, 640, 480)}},
        {"larger than the work area shrinks to it", {kShowNormal, QRect(-50, -50, 3000, 2000)}, {kShowNormal, work}},
        {"off the right and bottom moves back", {kShowNormal, QRect(1500, 900, 800, 600)}, {kShowNormal, QRect(800, 400, 800, 600)}},
    };
    for (const Case& c : cases) EXPECT_EQ(RepairPlacement(c.saved, work), c.repaired) << c.what;
}

TEST(WindowPlacementTest, TheRecordIs44BytesAndRoundTrips)
{
    const WindowPlacement placement{kShowMaximized, QRect(-8, 20, 1024, 700)};
    const QByteArray bytes = EncodePlacement(placement);
    EXPECT_EQ(bytes.size(), 44);
    EXPECT_EQ(DecodePlacement(bytes), placement);
    EXPECT_FALSE(DecodePlacement(bytes.left(40)).has_value());
    QByteArray wrong_length = bytes;
    wrong_length[0] = 40;
    EXPECT_FALSE(DecodePlacement(wrong_length).has_value());
}

TEST(RecentFilesTest, KeepsFourMostRecentFirstWithoutDuplicatesAcrossARestart)
{
    test::ScratchDir dir;
    QSettings settings(QString::fromStdString(dir.file("s.ini")), QSettings::IniFormat);
    RecentFiles recent;
    for (const char* name : {"/p/a.tnp", "/p/b.tnp", "/p/c.tnp", "/p/d.tnp", "/p/e.tnp", "/p/b.tnp"}) recent.Add(name);
    EXPECT_EQ(recent.paths(), (QStringList{"/p/b.tnp", "/p/e.tnp", "/p/d.tnp", "/p/c.tnp"}));
    recent.Save(settings);
    EXPECT_EQ(settings.value("Recent File List/File1").toString(), "/p/b.tnp");
    RecentFiles reloaded;
    reloaded.Load(settings);
    EXPECT_EQ(reloaded.paths(), recent.paths());
    EXPECT_EQ(reloaded.MenuText(0), "&1 b.tnp");
    reloaded.Add("/q/b.tnp");
    EXPECT_EQ(reloaded.MenuText(0), "&1 /q/b.tnp") << "two entries of one name show their folders";
}

}  // namespace
}  // namespace tp
