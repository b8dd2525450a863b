// Exposure compensation as a document setting: off by default, carried into every mosaic the document
// builds, kept across projects and never written to a project file.
#include <gtest/gtest.h>

#include "project/project_document.h"
#include "workflow_test_support.h"

namespace tp {
namespace {

TEST(ExposureSettingTest, TheDocumentCarriesItIntoEveryMosaicAndNoProjectFileHoldsIt)
{
    test::ScratchDir dir;
    const std::vector<std::string> paths = test::WritePanningViews(dir, 3);
    CMainDoc doc;
    EXPECT_FALSE(doc.exposure_compensation());
    doc.set_exposure_compensation(true);
    test::RecordingHost host;
    LoadSourceImages(doc, host, paths);
    ASSERT_TRUE(StitchSourceImages(doc, host, StitchMethod::Automatic).show_result);
    ASSERT_NE(doc.mosaic(), nullptr);
    EXPECT_TRUE(doc.mosaic()->exposure_compensation());
    EXPECT_EQ(doc.mosaic()->exposure_gains().size(), 3u);
    ASSERT_TRUE(SaveProjectDocument(doc, dir.file("on.tnp")));

    doc.set_exposure_compensation(false);
    EXPECT_FALSE(doc.mosaic()->exposure_compensation());
    ASSERT_TRUE(SaveProjectDocument(doc, dir.file("off.tnp")));
    EXPECT_EQ(test::ReadBytes(dir.file("on.tnp")), test::ReadBytes(dir.file("off.tnp")));

    // A project opened later, after the contents were thrown away, gets the setting as it stands.
    doc.set_exposure_compensation(true);
    doc.NewProject();
    EXPECT_TRUE(doc.exposure_compensation());
    ASSERT_TRUE(OpenProjectDocument(doc, host, dir.file("off.tnp")));
    ASSERT_NE(doc.mosaic(), nullptr);
    EXPECT_TRUE(doc.mosaic()->exposure_compensation());
    EXPECT_EQ(doc.mosaic()->exposure_gains().size(), 3u);  // the rebuilt wide-view image used it
}

}  // namespace
}  // namespace tp
