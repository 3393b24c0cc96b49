#include "library/folder_walker.h"
#include "library/photo_library.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

void Collect(const char* path, void* context) {
    static_cast<std::vector<std::string>*>(context)->push_back(path);
}

std::vector<std::string> WalkAll(const std::string& root) {
    std::vector<std::string> paths;
    CFolderWalker walker;
    EXPECT_EQ(walker.Start(&paths, root, &Collect, 1), 1);
    return paths;
}

TEST(FolderWalker, EntriesInCaseInsensitiveNameOrderDepthFirst) {
    TempDir root;
    Touch(root / "b.jpg");
    Touch(root / "Picture 0002.jpg");
    Touch(root / "Picture 0001.jpg");
    std::filesystem::create_directory(root / "A");
    Touch(root / "A/Picture 0009.jpg");
    Touch(root / "a.txt");
    const std::string r = root.Path();
    EXPECT_EQ(WalkAll(r),
              (std::vector<std::string>{r + "/A/Picture 0009.jpg", r + "/a.txt", r + "/b.jpg",
                                        r + "/Picture 0001.jpg", r + "/Picture 0002.jpg"}));
    // The root as the window passes it, with its separator: not doubled.
    EXPECT_EQ(WalkAll(r + "/").front(), r + "/A/Picture 0009.jpg");
}

TEST(FolderWalker, OrderComparesUpperCasedUnitsByValue) {
    // Upper-cased, '_' (0x5F) sorts after every letter; "ä" and "Ä" are one
    // letter; a byte that is not UTF-8 sorts by its value.
    TempDir root;
    std::filesystem::create_directory(root / "_old");
    Touch(root / "_old/Picture 0005.jpg");
    for (const char* name : {"\xff Picture.jpg",
                             "\xc3\x84"
                             "1 Picture.jpg",
                             "z Picture.jpg",
                             "\xc3\xa4"
                             "0 Picture.jpg",
                             "Picture 0001.jpg"})
        Touch(root / name);
    const std::string r = root.Path() + "/";
    EXPECT_EQ(WalkAll(root.Path()),
              (std::vector<std::string>{r + "Picture 0001.jpg", r + "z Picture.jpg",
                                        r + "_old/Picture 0005.jpg",
                                        r + "\xc3\xa4"
                                            "0 Picture.jpg",
                                        r + "\xc3\x84"
                                            "1 Picture.jpg",
                                        r + "\xff Picture.jpg"}));
}

TEST(FolderWalker, LinksHiddenAndReadOnlyFoldersAreFilesNotEntered) {
    TempDir root;
    std::filesystem::create_directory(root / "Sub");
    Touch(root / "Sub/Picture 0001.jpg");
    std::filesystem::create_directory_symlink(root.Path(), root / "Sub/loop");
    std::filesystem::create_directory(root / ".hidden");
    Touch(root / ".hidden/Picture 0002.jpg");
    std::filesystem::create_directory(root / "Picture 1.jpg");
    Touch(root / "Picture 1.jpg/inner.jpg");
    chmod((root / "Picture 1.jpg").c_str(), 0555);
    const std::string r = root.Path();
    EXPECT_EQ(WalkAll(r), (std::vector<std::string>{r + "/.hidden", r + "/Picture 1.jpg",
                                                    r + "/Sub/loop", r + "/Sub/Picture 0001.jpg"}));
}

TEST(FolderWalker, MissingOrUnreadableFoldersContributeNothing) {
    TempDir root;
    EXPECT_TRUE(WalkAll(root / "missing").empty());
    std::filesystem::create_directory(root / "closed");
    Touch(root / "closed/Picture 0001.jpg");
    Touch(root / "Picture 0002.jpg");
    chmod((root / "closed").c_str(), 0300); // plain folder, but not listable
    const auto paths = WalkAll(root.Path());
    EXPECT_EQ(paths.back(), root / "Picture 0002.jpg");
    if (geteuid() != 0) {
        EXPECT_EQ(paths.size(), 1u);
    }
}

TEST(FolderWalker, StartRefusesANullCallbackAndStopEndsAWalk) {
    CFolderWalker walker;
    EXPECT_EQ(walker.Start(nullptr, "/", nullptr, 1), 0);
    TempDir root;
    for (int i = 0; i < 20; ++i)
        Touch(root / ("f" + std::to_string(i)));
    static CFolderWalker* s_walker;
    s_walker = &walker;
    int seen = 0;
    auto stopAtThird = [](const char*, void* context) {
        if (++*static_cast<int*>(context) == 3)
            s_walker->Stop();
    };
    EXPECT_EQ(walker.Start(&seen, root.Path(), stopAtThird, 1), 1);
    EXPECT_EQ(seen, 3);
}

class PhotoFile : public ::testing::Test {
protected:
    bool Takes(const char* path) {
        const std::size_t before = paths.size();
        CPhotoLibrary::OnPhotoFile(path, &paths);
        return paths.size() == before + 1;
    }
    WalkedPaths paths;
};

TEST_F(PhotoFile, JpgIgnoringCaseAndPictureWithTheSpaceAnywhere) {
    EXPECT_TRUE(Takes("/p/Picture 0001.jpg"));
    EXPECT_TRUE(Takes("/p/Picture 0001.JPG"));
    EXPECT_TRUE(Takes("/p/Holiday Picture 3.jpg"));
    EXPECT_TRUE(Takes("/p/Picture 2008/beach.jpg"));
    EXPECT_FALSE(Takes("/p/Picture0001.jpg"));
    EXPECT_FALSE(Takes("/p/picture 0001.jpg"));
    EXPECT_FALSE(Takes("/p/Picture 0001.jpeg"));
    EXPECT_FALSE(Takes("pg"));
    EXPECT_FALSE(Takes(("/" + std::string(250, 'x') + "/Picture 0001.jpg").c_str()))
        << "a path the record cannot hold is left out, not cut";
    EXPECT_EQ(paths[2], "/p/Holiday Picture 3.jpg");
}

TEST_F(PhotoFile, ListStopsAt10000) {
    TempDir root;
    for (int i = 0; i <= 10000; ++i)
        Touch(root / ("Picture " + std::to_string(100000 + i) + ".jpg"));
    CFolderWalker walker;
    ASSERT_EQ(walker.Start(&paths, root.Path(), &CPhotoLibrary::OnPhotoFile, 1), 1);
    EXPECT_EQ(paths.size(), 10000u);
    EXPECT_EQ(paths[9999], root / "Picture 109999.jpg");
}

} // namespace
