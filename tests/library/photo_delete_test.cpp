#include "tests/library/library_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class PhotoDelete : public ::testing::Test, protected LibraryFixture {
protected:
    PhotoDelete() {
        for (int i = 0; i < 9; ++i)
            WriteJpeg(PhotoPath(PictureName(i)), 72, 54, Qt::blue);
        library->StartupScan();
        // Photos 4 to 6 by a plain click and a Shift-click.
        strip.m_nFirstVisible = 2;
        library->OnThumbClick(0, Inside(4));
        library->OnThumbClick(MK_SHIFT, Inside(2));
    }
    std::uint32_t Inside(int slot) const {
        return PackPoint(strip.m_rcSlot[slot].left + 3, strip.m_rcSlot[slot].top + 3);
    }
    MessageBoxRecorder boxes;
};

TEST_F(PhotoDelete, YesDeletesExactlyTheMarkedFilesAndClearsTheSelection) {
    ASSERT_EQ(strip.m_nMarked, 3);
    library->OnDeleteButton();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "You need to confirm this operation.");
    EXPECT_EQ(boxes.boxes[0].caption, "Nimbrel Vizor webcam");
    EXPECT_EQ(boxes.boxes[0].style, MB_YESNO | MB_ICONQUESTION);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(FileExists(PhotoPath(PictureName(i))), i < 4 || i > 6) << PictureName(i);
    EXPECT_EQ(strip.m_nPhotoCount, 6);
    EXPECT_EQ(strip.m_nAnchor, -1);
    EXPECT_EQ(strip.m_nCurrent, -1);
    EXPECT_EQ(strip.m_nRangeLow, -1);
    EXPECT_EQ(strip.m_nRangeHigh, -1);
    EXPECT_EQ(strip.m_nMarked, 0);
    EXPECT_EQ(strip.m_nFirstVisible, 0);
    EXPECT_FALSE(deleteButtonEnabled);
    EXPECT_EQ(members.m_sync_dir_status, 0);
}

TEST_F(PhotoDelete, NoTouchesNothing) {
    boxes.answers = {IDNO};
    library->OnDeleteButton();
    for (int i = 0; i < 9; ++i)
        EXPECT_TRUE(FileExists(PhotoPath(PictureName(i))));
    EXPECT_EQ(strip.m_nMarked, 3);
    EXPECT_EQ(strip.m_marks[5], 1);
    EXPECT_TRUE(deleteButtonEnabled);
    EXPECT_EQ(members.m_sync_dir_status, 0);
}

TEST_F(PhotoDelete, IgnoredWithoutMarksOrWhileBusy) {
    members.m_sync_dir_status = 1;
    library->OnDeleteButton();
    EXPECT_TRUE(boxes.boxes.empty());
    members.m_sync_dir_status = 0;

    // A periodic rebuild clears the marks but keeps the anchor.
    std::filesystem::remove(PhotoPath(PictureName(8)));
    library->FolderCheck();
    library->FolderCheck();
    EXPECT_EQ(strip.m_nMarked, 0);
    EXPECT_GE(strip.m_nAnchor, 0);
    library->OnDeleteButton();
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(PhotoDelete, SecondRequestDuringTheQuestionAndVanishedFilesAreHarmless) {
    boxes.duringBox = [this] {
        library->OnDeleteButton();
        std::filesystem::remove(PhotoPath(PictureName(5)));
    };
    library->OnDeleteButton();
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(strip.m_nPhotoCount, 6);
    EXPECT_TRUE(FileExists(PhotoPath(PictureName(7))));
}

TEST_F(PhotoDelete, FoldersAreNeverDeleted) {
    std::filesystem::create_directory(PhotoPath("Picture 9000.jpg"));
    std::filesystem::permissions(PhotoPath("Picture 9000.jpg"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    library->RebuildPhotoList(REBUILD_AFTER_DELETE);
    ASSERT_EQ(std::string(strip.m_pPhotos[9].szPath), Folder() + "/Picture 9000.jpg");
    strip.m_nFirstVisible = 3;
    library->OnThumbClick(0, Inside(6));
    library->OnDeleteButton();
    EXPECT_TRUE(std::filesystem::is_directory(PhotoPath("Picture 9000.jpg")));
    EXPECT_EQ(strip.m_nPhotoCount, 10);
}

TEST_F(PhotoDelete, QuestionInTheSystemLanguage) {
    languageId = 1031;
    boxes.answers = {IDNO};
    library->OnDeleteButton();
    languageId = 3082;
    library->OnDeleteButton();
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].text, "Sie müssen diesen Betrieb bestätigen");
    EXPECT_EQ(boxes.boxes[1].text, "You need to confirm this operation.");
}

} // namespace
