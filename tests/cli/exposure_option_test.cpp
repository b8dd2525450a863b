// --exposure-compensation: listed in the help, off unless given, and when given the report names the gains.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "cli/cli_runner.h"
#include "imaging/image_file.h"
#include "synthetic_views.h"
#include "test_support.h"

namespace tp {
namespace {

TEST(CliExposure, TheOptionEvensOutViewsOfDifferentBrightnessAndReportsTheGains)
{
    test::ScratchDir dir;
    const ColorImage scene = test::MakeScene(900, 400, 17);
    const double gains[] = {0.8, 1.0, 1.2};
    std::vector<std::string> views;
    for (int i = 0; i < 3; ++i) {
        Matrix h = Matrix::Identity(3);
        h[0][2] = 260 + 150 * i;
        h[1][2] = 200;
        ColorImage view = test::RenderView(scene, h, 320, 240);
        for (int y = 0; y < view.height(); ++y)
            for (int x = 0; x < 3 * view.width(); ++x)
                view.row(y)[x] = static_cast<std::uint8_t>(std::min(255.0, view.row(y)[x] * gains[i] + 0.5));
        std::string name = std::to_string(i);
        name += ".png";
        views.push_back(dir.file(name));
        ASSERT_EQ(WriteImage(view, views.back()), 0);
    }
    for (const bool on : {false, true}) {
        const std::string tag = on ? "on" : "off";
        std::vector<std::string> args = {"stitch", "-q", "--finalize", "blend", "-o", dir.file(tag + ".png"), "--report", dir.file(tag + ".json")};
        if (on) args.push_back("--exposure-compensation");
        args.insert(args.end(), views.begin(), views.end());
        const test::CliResult r = test::RunCli(args);
        ASSERT_EQ(r.status, 0) << r.output;
        std::ifstream in(dir.file(tag + ".json"));
        const std::string report((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(report.find("\"exposure_gains\": [[") != std::string::npos, on) << report;
    }
    EXPECT_NE(test::ReadBytes(dir.file("on.png")), test::ReadBytes(dir.file("off.png")));
    EXPECT_NE(test::RunCli({"--help"}).output.find("--exposure-compensation"), std::string::npos);
}

}  // namespace
}  // namespace tp
