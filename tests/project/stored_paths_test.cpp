#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "project/stored_paths.h"

namespace tp {
namespace {

// A native image path as this platform's project file would store it for a project in `native_folder`.
std::string StoreNative(const std::string& native_image, const std::string& native_folder)
{
    return MakeRelativePath(ToStoredPath(native_image), ToStoredPath(native_folder));
}

std::string RestoreNative(const std::string& stored, const std::string& native_folder)
{
    return FromStoredPath(MakeAbsolutePath(stored, ToStoredPath(native_folder)));
}

TEST(StoredPathFormTest, SeparatorsSwapAtTheBoundary)
{
    EXPECT_EQ(ToStoredPath("/home/ann/a.jpg"), "\\home\\ann\\a.jpg");
    EXPECT_EQ(FromStoredPath("\\home\\ann\\a.jpg"), "/home/ann/a.jpg");
    EXPECT_EQ(FromStoredPath(".\\img\\a.jpg"), "./img/a.jpg");
    EXPECT_EQ(ToStoredPath("a.jpg"), "a.jpg");
}

TEST(StoredPathFormTest, FolderOfStopsBeforeTheLastSeparator)
{
    EXPECT_EQ(FolderOf("/home/ann/proj/p.tnp", '/'), "/home/ann/proj");
    EXPECT_EQ(FolderOf("C:\\proj\\p.tnp", '\\'), "C:\\proj");
    EXPECT_EQ(FolderOf("/p.tnp", '/'), "");
    EXPECT_EQ(FolderOf("p.tnp", '/'), "");
    EXPECT_EQ(FolderOf("C:\\proj\\p.tnp", '/'), "");
}

TEST(MakeRelativePathTest, DrivePathsGiveTheDocumentedForms)
{
    EXPECT_EQ(MakeRelativePath("C:\\proj\\img\\a.jpg", "C:\\proj"), ".\\img\\a.jpg");
    EXPECT_EQ(MakeRelativePath("C:\\other\\a.jpg", "C:\\proj"), "..\\other\\a.jpg");
    EXPECT_EQ(MakeRelativePath("D:\\x.jpg", "C:\\proj"), "D:\\x.jpg");
    EXPECT_EQ(MakeRelativePath("C:\\proj\\a.jpg", "C:\\proj"), ".\\a.jpg");
}

TEST(MakeRelativePathTest, FolderWithTrailingSeparatorAndLookAlikeNames)
{
    EXPECT_EQ(MakeRelativePath("C:\\a.jpg", "C:\\"), ".\\a.jpg");
    EXPECT_EQ(MakeRelativePath("C:\\proj\\a.jpg", "C:\\proj\\"), ".\\a.jpg");
    // "C:\projx" merely starts like "C:\proj": whole components are compared.
    EXPECT_EQ(MakeRelativePath("C:\\projx\\a.jpg", "C:\\proj"), "..\\projx\\a.jpg");
    EXPECT_EQ(MakeRelativePath("C:\\Proj\\a.jpg", "C:\\proj"), "..\\Proj\\a.jpg");
}

TEST(MakeRelativePathTest, RootedPathsMeetAtTheRoot)
{
    EXPECT_EQ(StoreNative("/home/ann/proj/img/a.jpg", "/home/ann/proj"), ".\\img\\a.jpg");
    EXPECT_EQ(StoreNative("/home/ann/other/a.jpg", "/home/ann/proj"), "..\\other\\a.jpg");
    EXPECT_EQ(StoreNative("/home/ann/proj/a.jpg", "/home/ann/proj"), ".\\a.jpg");
    EXPECT_EQ(StoreNative("/other/a.jpg", "/proj"), "..\\other\\a.jpg");
    EXPECT_EQ(StoreNative("/a/x.jpg", "/a/b/c/d"), "..\\..\\..\\x.jpg");
    EXPECT_EQ(StoreNative("/a.jpg", "/home/ann"), "..\\..\\a.jpg");
    EXPECT_EQ(StoreNative("/a/b/c/x.jpg", "/a"), ".\\b\\c\\x.jpg");
}

TEST(MakeRelativePathTest, ProjectInTheRootFolder)
{
    // A project saved as "/p.tnp" has the folder "" by FolderOf; "/" must behave the same.
    EXPECT_EQ(StoreNative("/a.jpg", FolderOf("/p.tnp", '/')), ".\\a.jpg");
    EXPECT_EQ(StoreNative("/a.jpg", "/"), ".\\a.jpg");
    EXPECT_EQ(StoreNative("/img/a.jpg", "/"), ".\\img\\a.jpg");
    EXPECT_EQ(RestoreNative(".\\a.jpg", ""), "/a.jpg");
    EXPECT_EQ(RestoreNative(".\\img\\a.jpg", "/"), "/img/a.jpg");
    EXPECT_EQ(RestoreNative("a.jpg", "/"), "/a.jpg");
}

TEST(MakeAbsolutePathTest, DrivePathsResolveAgainstTheFolder)
{
    EXPECT_EQ(MakeAbsolutePath(".\\img\\a.jpg", "C:\\proj"), "C:\\proj\\img\\a.jpg");
    EXPECT_EQ(MakeAbsolutePath("..\\other\\a.jpg", "C:\\proj"), "C:\\other\\a.jpg");
    EXPECT_EQ(MakeAbsolutePath("D:\\x.jpg", "C:\\proj"), "D:\\x.jpg");
    EXPECT_EQ(MakeAbsolutePath("a.jpg", "C:\\proj"), "C:\\proj\\a.jpg");
    // A leading separator means the folder's drive.
    EXPECT_EQ(MakeAbsolutePath("\\x\\a.jpg", "C:\\proj\\sub"), "C:\\x\\a.jpg");
    // A folder written with its trailing separator does not double it.
    EXPECT_EQ(MakeAbsolutePath("a.jpg", "C:\\"), "C:\\a.jpg");
    EXPECT_EQ(MakeAbsolutePath(".\\img\\a.jpg", "C:\\"), "C:\\img\\a.jpg");
    // ".." never climbs past the drive.
    EXPECT_EQ(MakeAbsolutePath("..\\..\\..\\a.jpg", "C:\\proj"), "C:\\a.jpg");
}

TEST(MakeAbsolutePathTest, LeadingSeparatorMeansTheRootHere)
{
    EXPECT_EQ(MakeAbsolutePath("\\srv\\a.jpg", "\\home\\ann"), "\\srv\\a.jpg");
    EXPECT_EQ(RestoreNative("\\srv\\a.jpg", "/home/ann"), "/srv/a.jpg");
    EXPECT_EQ(RestoreNative("..\\..\\..\\..\\a.jpg", "/home/ann"), "/a.jpg");
}

TEST(MakeAbsolutePathTest, ProjectsWrittenElsewhereOpenHere)
{
    EXPECT_EQ(RestoreNative(".\\img\\a.jpg", "/home/ann/proj"), "/home/ann/proj/img/a.jpg");
    EXPECT_EQ(RestoreNative("..\\other\\a.jpg", "/home/ann/proj"), "/home/ann/other/a.jpg");
}

TEST(StoredPathRoundTripTest, NativePathsComeBackUnchanged)
{
    struct Case {
        std::string folder;
        std::string image;
    };
    const std::vector<Case> cases = {
        {"/home/ann/proj", "/home/ann/proj/img/a.jpg"},
        {"/home/ann/proj", "/home/ann/other/a.jpg"},
        {"/home/ann/proj", "/home/ann/proj/a.jpg"},
        {"/proj", "/other/a.jpg"},
        {"/a/b/c/d", "/a/x.jpg"},
        {"/a/b/c/d", "/x.jpg"},
        {"/", "/deep/er/still/a.jpg"},
        {"", "/a.jpg"},
        {"/home/ann/proj", "/home/ann/proj with space/ä.jpg"},
    };
    for (const Case& c : cases) {
        const std::string stored = StoreNative(c.image, c.folder);
        EXPECT_EQ(stored.find('/'), std::string::npos) << stored;
        EXPECT_EQ(RestoreNative(stored, c.folder), c.image) << "folder " << c.folder << ", stored " << stored;
    }
}

TEST(StoredPathRoundTripTest, DrivePathsComeBackUnchanged)
{
    const std::vector<std::string> images = {"C:\\proj\\img\\a.jpg", "C:\\other\\a.jpg", "D:\\x.jpg",
                                             "C:\\a.jpg", "C:\\proj\\a.jpg"};
    for (const std::string& image : images)
        EXPECT_EQ(MakeAbsolutePath(MakeRelativePath(image, "C:\\proj"), "C:\\proj"), image);
}

}  // namespace
}  // namespace tp
