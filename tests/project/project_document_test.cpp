#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

#include <filesystem>

#include "project/project_document.h"
#include "project/project_file.h"
#include "project/wide_view.h"
#include "workflow_test_support.h"

namespace tp {
namespace {

class ProjectDocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        paths_ = test::WritePanningViews(dir_, 3);
        for (const std::string& p : paths_) doc_.AddImage(p, AddPosition::Tail);
    }
    void Stitch() { ASSERT_TRUE(StitchSourceImages(doc_, host_, StitchMethod::Automatic).show_result); }

    test::ScratchDir dir_;
    std::vector<std::string> paths_;
    CMainDoc doc_;
    test::RecordingHost host_;
};

TEST_F(ProjectDocumentTest, AnUnstitchedProjectStoresOnlyRelativePathsAndTheState)
{
    ASSERT_TRUE(SaveProjectDocument(doc_, dir_.file("p.tnp")));
    ProjectFileContents contents;
    ASSERT_TRUE(ReadProjectFile(dir_.file("p.tnp"), contents));
    EXPECT_EQ(contents.stored_paths, (std::vector<std::string>{".\\view0.png", ".\\view1.png", ".\\view2.png"}));
    EXPECT_EQ(contents.state, 2);
    EXPECT_TRUE(contents.pairs.empty());
    EXPECT_FALSE(doc_.modified());
    EXPECT_EQ(doc_.title(), "p.tnp");
}

TEST_F(ProjectDocumentTest, AFinalizedProjectReopensStitchedWithIdenticalHomographies)
{
    Stitch();
    ASSERT_TRUE(FinalizeWideView(doc_, host_, FinalizeMethod::AdvancedBlending));
    ASSERT_TRUE(SaveProjectDocument(doc_, dir_.file("p.tnp")));
    std::vector<Matrix> saved;
    for (int i = 0; i < 2; ++i) saved.push_back(doc_.mosaic()->alignment(i).to_next);

    CMainDoc reopened;
    test::RecordingHost host;
    ASSERT_TRUE(OpenProjectDocument(reopened, host, dir_.file("p.tnp")));
    EXPECT_EQ(reopened.stitch_state(), StitchState::Stitched);
    ASSERT_EQ(reopened.image_count(), 3);
    EXPECT_EQ(reopened.image(2).path, paths_[2]);
    ASSERT_NE(reopened.mosaic(), nullptr);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(reopened.mosaic()->alignment(i).to_next, saved[static_cast<std::size_t>(i)]);
        EXPECT_EQ(reopened.mosaic()->alignment(i).pair_weight, 0.0);
        EXPECT_EQ(reopened.mosaic()->alignment(i).method, 0);
    }
    EXPECT_TRUE(reopened.HasWideView());
    EXPECT_EQ(reopened.pair_edits().size(), 2u);
}

TEST_F(ProjectDocumentTest, AProjectMovedWithItsImagesStillOpens)
{
    Stitch();
    ASSERT_TRUE(SaveProjectDocument(doc_, dir_.file("p.tnp")));
    test::ScratchDir elsewhere;
    for (const char* name : {"p.tnp", "view0.png", "view1.png", "view2.png"})
        std::filesystem::copy_file(dir_.file(name), elsewhere.file(name));
    CMainDoc moved;
    ASSERT_TRUE(OpenProjectDocument(moved, host_, elsewhere.file("p.tnp")));
    EXPECT_EQ(moved.image(0).path, elsewhere.file("view0.png"));
    EXPECT_EQ(moved.stitch_state(), StitchState::Stitched);
}

TEST_F(ProjectDocumentTest, AMissingSourceOpensTheImagesReadSoFarUnstitched)
{
    Stitch();
    ASSERT_TRUE(SaveProjectDocument(doc_, dir_.file("p.tnp")));
    std::filesystem::remove(dir_.file("view1.png"));
    CMainDoc reopened;
    test::MessageCapture capture;
    ASSERT_TRUE(OpenProjectDocument(reopened, host_, dir_.file("p.tnp")));
    EXPECT_EQ(capture.messages, (std::vector<std::string>{"view1.png reading error."}));
    EXPECT_EQ(reopened.image_count(), 1);
    EXPECT_EQ(reopened.stitch_state(), StitchState::Unstitched);
    EXPECT_EQ(reopened.mosaic(), nullptr);
}

TEST_F(ProjectDocumentTest, AMalformedProjectIsRefusedAndLeavesTheOpenProjectAsItWas)
{
    Stitch();
    const int images = doc_.image_count();
    const Mosaic* mosaic = doc_.mosaic();
    test::WriteBytes(dir_.file("bad.tnp"), {2, 0, 0, 0, 3, 'a', 'b', 'c', 9, 'x'});
    test::MessageCapture capture;
    EXPECT_FALSE(OpenProjectDocument(doc_, host_, dir_.file("bad.tnp")));
    EXPECT_EQ(capture.messages, (std::vector<std::string>{"Failed to open document."}));
    EXPECT_EQ(doc_.image_count(), images);
    EXPECT_EQ(doc_.mosaic(), mosaic);
    EXPECT_EQ(doc_.stitch_state(), StitchState::Stitched);
    EXPECT_TRUE(doc_.CommandAllowed(command::kExport));
}

TEST_F(ProjectDocumentTest, AFailedSaveKeepsThePreviousProjectAndSaysSo)
{
    ASSERT_TRUE(SaveProjectDocument(doc_, dir_.file("p.tnp")));
    const std::vector<std::uint8_t> before = test::ReadBytes(dir_.file("p.tnp"));
    Stitch();
    test::MessageCapture capture;
    // A folder where the file should be: the replacement cannot happen.
    std::filesystem::create_directory(dir_.file("taken.tnp"));
    EXPECT_FALSE(SaveProjectDocument(doc_, dir_.file("taken.tnp")));
    EXPECT_FALSE(SaveProjectDocument(doc_, dir_.file("missing/p.tnp")));
    // The disk takes no more than a few bytes: saving over the project itself fails, and it keeps its bytes.
    struct rlimit limit {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    std::signal(SIGXFSZ, SIG_IGN);
    const struct rlimit tiny {16, limit.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const bool saved = SaveProjectDocument(doc_, dir_.file("p.tnp"));
    setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_FALSE(saved);
    EXPECT_EQ(capture.messages, (std::vector<std::string>(3, "Failed to save document.")));
    EXPECT_EQ(test::ReadBytes(dir_.file("p.tnp")), before);
    EXPECT_TRUE(std::filesystem::is_directory(dir_.file("taken.tnp")));
    // Nothing half written is left behind.
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
        EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();
}

TEST_F(ProjectDocumentTest, NamesWithColonsRoundTripAndNamesWithBackslashesAreRefused)
{
    // Legal names here: a colon is part of a name, not a drive, unless the path starts with one.
    std::filesystem::create_directories(dir_.file("x:y"));
    std::filesystem::copy_file(paths_[0], dir_.file("x:y/a:1.png"));
    std::filesystem::copy_file(paths_[1], dir_.file("x:y/b:2.png"));
    CMainDoc doc;
    ASSERT_EQ(doc.AddImage(dir_.file("x:y/a:1.png"), AddPosition::Tail), AddImageResult::Added);
    ASSERT_EQ(doc.AddImage(dir_.file("x:y/b:2.png"), AddPosition::Tail), AddImageResult::Added);
    ASSERT_TRUE(SaveProjectDocument(doc, dir_.file("x:y/p:1.tnp")));
    CMainDoc reopened;
    ASSERT_TRUE(OpenProjectDocument(reopened, host_, dir_.file("x:y/p:1.tnp")));
    EXPECT_EQ(reopened.image_paths(), doc.image_paths());

    // A backslash has no stored form: saving says so, naming the file, and writes nothing.
    std::filesystem::copy_file(paths_[2], dir_.file("c\\3.png"));
    ASSERT_EQ(doc.AddImage(dir_.file("c\\3.png"), AddPosition::Tail), AddImageResult::Added);
    test::MessageCapture capture;
    EXPECT_FALSE(SaveProjectDocument(doc, dir_.file("q.tnp")));
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_NE(capture.messages[0].find("Failed to save document."), std::string::npos);
    EXPECT_NE(capture.messages[0].find("c\\3.png"), std::string::npos) << capture.messages[0];
    EXPECT_FALSE(std::filesystem::exists(dir_.file("q.tnp")));
}

TEST_F(ProjectDocumentTest, SavesThroughLinksAndUnderLongNames)
{
    Stitch();
    // Saving through a symbolic link replaces the project it points to and keeps the link.
    ASSERT_TRUE(SaveProjectDocument(doc_, dir_.file("real.tnp")));
    const std::vector<std::uint8_t> saved = test::ReadBytes(dir_.file("real.tnp"));
    std::filesystem::create_symlink("real.tnp", dir_.file("link.tnp"));
    test::WriteBytes(dir_.file("real.tnp"), {1, 2, 3});
    ASSERT_TRUE(SaveProjectDocument(doc_, dir_.file("link.tnp")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir_.file("link.tnp")));
    EXPECT_EQ(test::ReadBytes(dir_.file("real.tnp")), saved);
    // A name of 250 bytes, where the temporary name beside it would not fit in a file name.
    const std::string long_name = dir_.file(std::string(246, 'n') + ".tnp");
    ASSERT_TRUE(SaveProjectDocument(doc_, long_name));
    EXPECT_EQ(test::ReadBytes(long_name), saved);
}

TEST_F(ProjectDocumentTest, WideViewShowsCropsAndExports)
{
    Stitch();
    WideView view;
    view.Show(doc_);
    ASSERT_TRUE(view.has_image());
    // The shown image is the circumscribed box plus 10 pixels, and the crop starts as the whole of it.
    EXPECT_EQ(view.crop(), (CropRect{0, 0, view.image().width(), view.image().height()}));
    const std::uint8_t* corner = view.image().pixel(0, 0);
    EXPECT_TRUE(corner[0] == 0 && corner[1] == 0 && corner[2] == 0);
    EXPECT_FALSE(view.SwitchProjection(doc_, command::kPlanarProjection));
    EXPECT_TRUE(view.SwitchProjection(doc_, command::kCylindricalProjection));

    view.Crop(doc_, CropChoice::Inscribed);
    const ColorImage cropped = view.CroppedImage();
    ASSERT_FALSE(cropped.empty());
    for (int y = 0; y < cropped.height(); ++y)
        for (int x = 0; x < cropped.width(); ++x) {
            const std::uint8_t* p = cropped.pixel(x, y);
            ASSERT_FALSE(p[0] == 0 && p[1] == 0 && p[2] == 0) << x << "," << y;
        }

    test::MessageCapture capture;
    EXPECT_EQ(view.Export(dir_.file("out.png")), 0);
    ColorImage written;
    ASSERT_EQ(ReadImage(written, dir_.file("out.png")), 0);
    EXPECT_TRUE(test::ImagesMatch(cropped, written));
    EXPECT_LT(view.Export(dir_.file("out.xyz")), 0);
    EXPECT_FALSE(std::filesystem::exists(dir_.file("out.xyz")));
    EXPECT_GT(view.Export(dir_.file("missing/out.bmp")), 0);
    EXPECT_EQ(capture.messages, (std::vector<std::string>{"Unsupported file format.", "Write failure"}));
}

}  // namespace
}  // namespace tp
