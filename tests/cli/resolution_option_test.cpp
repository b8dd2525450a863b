// --resolution: the exported image at the working size, at the photographs' own (views of 1280 x 960, whose
// working images are 1024 x 768) or within a megapixel limit; anything else is a usage error.
#include <gtest/gtest.h>

#include "cli/cli_runner.h"
#include "imaging/image_file.h"
#include "synthetic_views.h"
#include "test_support.h"

namespace tp {
namespace {

TEST(CliResolution, ExportsAtTheWorkingSizeTheFullSizeOrWithinALimit)
{
    test::ScratchDir dir;
    const ColorImage scene = test::MakeScene(1280 + 2 * 700 + 40, 1000, 5);
    std::vector<std::string> views;
    for (int i = 0; i < 3; ++i) {
        Matrix h = Matrix::Identity(3);
        h[0][2] = 20 + 640 + 700 * i;
        h[1][2] = 500;
        views.push_back(dir.file("view" + std::to_string(i) + ".bmp"));
        ASSERT_EQ(WriteImage(test::RenderView(scene, h, 1280, 960), views.back()), 0);
    }
    auto stitch = [&](const std::string& resolution, ColorImage& out) {
        std::vector<std::string> args = {"stitch", "-q", "--finalize", "blend", "--crop", "inscribed", "--resolution", resolution,
                                         "-o", dir.file(resolution + ".png")};
        args.insert(args.end(), views.begin(), views.end());
        const test::CliResult r = test::RunCli(args);
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(ReadImage(out, dir.file(resolution + ".png")), 0);
    };
    ColorImage working, full, limited;
    stitch("working", working);
    stitch("full", full);
    stitch("1MP", limited);
    ASSERT_FALSE(working.empty());
    EXPECT_NEAR(full.width(), working.width() * 1.25, 1.0);
    EXPECT_NEAR(full.height(), working.height() * 1.25, 1.0);
    const double pixels = static_cast<double>(limited.width()) * limited.height();
    EXPECT_LE(pixels, 1.003e6);
    EXPECT_GE(pixels, 0.99e6);
    EXPECT_NEAR(static_cast<double>(limited.width()) / limited.height(), static_cast<double>(working.width()) / working.height(), 0.01);

    const test::CliResult refused = test::RunCli({"stitch", "-q", "--resolution", "huge", views[0], views[1]});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.output.find("--resolution takes"), std::string::npos) << refused.output;
}

}  // namespace
}  // namespace tp
