#include "tests/library/library_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

class PhotoList : public ::testing::Test, protected LibraryFixture {
protected:
    void AddPhotos(int count, int first = 0) {
        for (int i = first; i < first + count; ++i)
            WriteJpeg(PhotoPath(PictureName(i)), 72, 54, Qt::blue);
        BumpFolderTime(Folder());
    }
};

TEST_F(PhotoList, StartupScanListsInNameOrderWithNothingSelected) {
    AddPhotos(2, 1);
    std::filesystem::create_directory(PhotoPath("A"));
    WriteJpeg(PhotoPath("A/Picture 0009.jpg"), 72, 54, Qt::red);
    library->StartupScan();
    ASSERT_EQ(strip.m_nPhotoCount, 3);
    EXPECT_EQ(std::string(strip.m_pPhotos[0].szPath), Folder() + "/A/Picture 0009.jpg");
    EXPECT_EQ(std::string(strip.m_pPhotos[2].szPath), Folder() + "/Picture 0002.jpg");
    EXPECT_EQ(strip.m_nAnchor, -1);
    EXPECT_EQ(members.m_folderStatus.bKnown, false) << "the start-up scan remembers nothing";
}

TEST_F(PhotoList, PeriodicCheckRebuildsOnlyWhenTheFolderTimeChanged) {
    AddPhotos(12);
    library->StartupScan();
    library->FolderCheck(); // first check: nothing remembered yet
    EXPECT_EQ(strip.m_nScrollMax, 5);
    strip.m_nFirstVisible = 4;
    strip.m_nCurrent = strip.m_nAnchor = 6;
    strip.m_marks[6] = 1;
    strip.m_nMarked = 1;

    const int decodes = TestCodecCalls().decodes;
    library->FolderCheck();
    EXPECT_EQ(strip.m_nFirstVisible, 4) << "unchanged folder: nothing moves";
    EXPECT_EQ(strip.m_marks[6], 1);
    EXPECT_EQ(TestCodecCalls().decodes, decodes);

    members.m_sync_dir_status = 1;
    AddPhotos(1, 12);
    library->FolderCheck();
    EXPECT_EQ(strip.m_nPhotoCount, 12) << "skipped while a save or deletion runs";

    members.m_sync_dir_status = 0;
    library->FolderCheck();
    EXPECT_EQ(strip.m_nPhotoCount, 13);
    EXPECT_EQ(strip.m_nFirstVisible, 0) << "a changed folder scrolls back to the start";
    EXPECT_EQ(strip.m_nMarked, 0);
    EXPECT_EQ(strip.m_marks[6], 0);
    EXPECT_EQ(strip.m_nAnchor, 6) << "the indices keep their values";
    EXPECT_EQ(strip.m_nScrollMax, 6);
}

TEST_F(PhotoList, ChangeWithinTheSecondOfTheLastLookIsSeen) {
    AddPhotos(2);
    // Two changes in one second, told apart by the nanoseconds only.
    const auto setFolderTime = [this](long nsec) {
        const timespec times[2] = {{2000000000, nsec}, {2000000000, nsec}};
        ASSERT_EQ(utimensat(AT_FDCWD, Folder().c_str(), times, 0), 0);
    };
    setFolderTime(100);
    library->StartupScan();
    library->FolderCheck();
    ASSERT_EQ(strip.m_nPhotoCount, 2);

    WriteJpeg(PhotoPath("Picture 0002.jpg"), 72, 54, Qt::blue);
    setFolderTime(200);
    library->FolderCheck();
    EXPECT_EQ(strip.m_nPhotoCount, 3);
}

TEST_F(PhotoList, SnapshotRebuildSelectsTheLastPhotoAndScrollsToTheEnd) {
    AddPhotos(9);
    AddPhotos(1, 10);
    library->StartupScan();
    library->RebuildPhotoList(REBUILD_AFTER_SNAPSHOT);
    EXPECT_EQ(strip.m_nAnchor, 9);
    EXPECT_EQ(strip.m_marks[9], 1);
    EXPECT_EQ(strip.m_nMarked, 1);
    EXPECT_EQ(strip.m_nFirstVisible, 3);
    EXPECT_EQ(std::string(strip.m_pPhotos[9].szPath), Folder() + "/Picture 0010.jpg");
    // The new file's change is remembered: the next check does not rebuild.
    const int decodes = TestCodecCalls().decodes;
    library->FolderCheck();
    EXPECT_EQ(strip.m_nFirstVisible, 3);
    EXPECT_EQ(TestCodecCalls().decodes, decodes);
}

TEST_F(PhotoList, SnapshotRebuildOfAnEmptyFolderSelectsNothing) {
    library->StartupScan();
    library->RebuildPhotoList(REBUILD_AFTER_SNAPSHOT);
    EXPECT_EQ(strip.m_nAnchor, -1);
    EXPECT_EQ(strip.m_nMarked, 0);
    EXPECT_EQ(strip.m_nFirstVisible, 0);
}

TEST_F(PhotoList, VanishedFolderEmptiesTheListOnceAndComesBack) {
    AddPhotos(3);
    library->StartupScan();
    library->FolderCheck();
    const std::string moved = Folder() + ".away";
    std::filesystem::rename(Folder(), moved);
    library->FolderCheck();
    EXPECT_EQ(strip.m_nPhotoCount, 0);
    EXPECT_FALSE(members.m_folderStatus.bReadable);
    std::filesystem::rename(moved, Folder());
    library->FolderCheck();
    EXPECT_EQ(strip.m_nPhotoCount, 3);
}

TEST_F(PhotoList, ClicksSelectAndDoubleClickOpens) {
    AddPhotos(3);
    library->StartupScan();
    const RECT slot1 = strip.m_rcSlot[1];
    library->OnThumbClick(0, PackPoint(slot1.left + 1, slot1.top + 1));
    EXPECT_EQ(strip.m_nCurrent, 1);
    EXPECT_EQ(strip.m_nAnchor, 1);
    EXPECT_TRUE(deleteButtonEnabled);

    const RECT slot5 = strip.m_rcSlot[5];
    library->OnThumbClick(0, PackPoint(slot5.left + 1, slot5.top + 1));
    EXPECT_EQ(strip.m_nCurrent, 1) << "an empty slot changes nothing";
    const int updates = deleteButtonUpdates;
    library->OnThumbClick(0, PackPoint(slot1.left, slot1.top + 1));
    EXPECT_EQ(deleteButtonUpdates, updates + 1) << "the button is refreshed after every click";

    const RECT slot2 = strip.m_rcSlot[2];
    library->OnThumbDoubleClick(PackPoint(slot2.left + 5, slot2.top + 5));
    EXPECT_EQ(strip.m_nAnchor, 2);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], Folder() + "/Picture 0002.jpg");
    library->OnThumbDoubleClick(PackPoint(slot5.left + 5, slot5.top + 5));
    EXPECT_EQ(opened.size(), 1u);
}

} // namespace
