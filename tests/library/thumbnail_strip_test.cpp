#include "tests/library/jpeg_test_support.h"
#include "tests/library/library_fixture.h"

#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

class ThumbnailStrip : public ::testing::Test, protected LibraryFixture {
protected:
    void AddPhotos(int count, QColor colour = Qt::blue) {
        for (int i = 0; i < count; ++i)
            WriteJpeg(PhotoPath(PictureName(i)), 640, 480, colour);
    }
    static QColor At(const FakeCell& cell, int x, int y) { return cell.m_image.pixelColor(x, y); }
    MessageBoxRecorder boxes;
};

TEST_F(ThumbnailStrip, SlotsPastTheListAreGreyAndPhotosHaveWhiteEdges) {
    AddPhotos(3, QColor(0, 0, 255));
    library->StartupScan();
    EXPECT_EQ(strip.m_nScrollMax, 0);
    for (int k = 3; k < 7; ++k) {
        ASSERT_EQ(cells[k].m_image.size(), QSize(72, 54));
        EXPECT_EQ(At(cells[k], 0, 0), QColor(99, 99, 99));
        EXPECT_EQ(At(cells[k], 40, 30), QColor(99, 99, 99));
    }
    EXPECT_EQ(At(cells[0], 0, 20), QColor(Qt::white));
    EXPECT_EQ(At(cells[0], 20, 0), QColor(Qt::white));
    const QColor inside = At(cells[0], 40, 30);
    EXPECT_GT(inside.blue(), 200);
    EXPECT_LT(inside.red(), 40);
    EXPECT_GT(repaints, 0) << "the window is asked to repaint the frames";
}

TEST_F(ThumbnailStrip, PageRightShowsTheLastSevenAndDecodesOnlyThose) {
    AddPhotos(12);
    QScrollBar bar(Qt::Horizontal);
    LibraryHooks hooks;
    hooks.scrollBar = &bar;
    for (int k = 0; k < 7; ++k)
        hooks.view.cells[k] = &cells[k];
    CPhotoLibrary withBar(strip, members, TestJpegCodec(), hooks);
    withBar.StartupScan();
    EXPECT_EQ(TestCodecCalls().decodes, 7);
    withBar.OnHScrollCode(SB_PAGERIGHT, 0);
    EXPECT_EQ(strip.m_nFirstVisible, 5);
    EXPECT_EQ(bar.value(), 5);
    EXPECT_EQ(TestCodecCalls().decodes, 12) << "photos 7 to 11 are new, 5 and 6 are cached";
    EXPECT_EQ(TestCodecCalls().decodedPaths.back(), Folder() + "/" + PictureName(11));
    bar.triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(strip.m_nFirstVisible, 5) << "only the window's handler moves the strip";
    QObject::connect(&bar, &QAbstractSlider::actionTriggered,
                     [&](int action) { withBar.OnHScroll(QAbstractSlider::SliderAction(action)); });
    bar.triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(strip.m_nFirstVisible, 0);
    EXPECT_EQ(bar.value(), 0);
}

TEST_F(ThumbnailStrip, BadFilesGetThePlaceholderOncePerRebuild) {
    WriteFileBytes(PhotoPath("Picture 0000.jpg"), "");
    WriteFileBytes(PhotoPath("Picture 0001.jpg"), "this is not a JPEG file at all");
    WriteJpeg(PhotoPath("Picture 0002.jpg"), 1, 1, Qt::green);
    // A valid picture whose header claims 10000 x 10000.
    WriteJpeg(PhotoPath("Picture 0003.jpg"), 72, 54, Qt::green);
    std::string huge = ReadFileBytes(PhotoPath("Picture 0003.jpg"));
    const auto sof = huge.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    huge.replace(sof + 5, 4, std::string("\x27\x10\x27\x10", 4));
    WriteFileBytes(PhotoPath("Picture 0003.jpg"), huge);
    WriteJpeg(PhotoPath("Picture 0004.jpg"), 640, 480, Qt::green);
    const std::string whole = ReadFileBytes(PhotoPath("Picture 0004.jpg"));
    WriteFileBytes(PhotoPath("Picture 0004.jpg"), whole.substr(0, whole.size() / 2));

    library->StartupScan();
    EXPECT_EQ(TestCodecCalls().decodes, 5);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(strip.m_pPhotos[k].bThumbReady, 1);
        const QColor cross = At(cells[k], 36, 27);
        EXPECT_EQ(cross, QColor(200, 0, 0)) << "slot " << k;
        EXPECT_EQ(At(cells[k], 36, 5), QColor(128, 128, 128)) << "slot " << k;
    }
    EXPECT_EQ(strip.m_pPhotos[4].bThumbReady, 1) << "a truncated file still gets a thumbnail";
    const std::size_t messages = boxes.boxes.size();
    EXPECT_GE(messages, 1u);

    library->RenderThumbnailStrip();
    EXPECT_EQ(TestCodecCalls().decodes, 5) << "not decoded again on the next redraw";
    EXPECT_EQ(boxes.boxes.size(), messages);

    library->RebuildPhotoList(REBUILD_AFTER_DELETE);
    EXPECT_EQ(TestCodecCalls().decodes, 10) << "but again after the next rebuild";
}

TEST_F(ThumbnailStrip, RedrawInsideADecodeMessageNeitherDecodesNorRepeatsIt) {
    AddPhotos(2);
    WriteFileBytes(PhotoPath("Picture 0000.jpg"), "damaged");
    boxes.duringBox = [this] {
        library->RenderThumbnailStrip();
        library->RenderThumbnailStrip();
    };
    library->StartupScan();
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(TestCodecCalls().decodes, 2);
    EXPECT_GT(At(cells[1], 40, 30).blue(), 200);
}

TEST_F(ThumbnailStrip, RebuildInsideADecodeMessageStartsThePassAgain) {
    AddPhotos(3, Qt::blue);
    WriteFileBytes(PhotoPath("Picture 0000.jpg"), "damaged");
    boxes.duringBox = [this] {
        boxes.duringBox = nullptr;
        WriteJpeg(PhotoPath("Picture 0000.jpg"), 640, 480, Qt::red);
        BumpFolderTime(Folder());
        library->FolderCheck();
    };
    library->StartupScan();
    EXPECT_EQ(strip.m_nPhotoCount, 3);
    EXPECT_GT(At(cells[0], 40, 30).red(), 200) << "the new list's thumbnail, not the stale one";
    EXPECT_GT(At(cells[2], 40, 30).blue(), 200);
}

TEST_F(ThumbnailStrip, FourComponentPictureNeverShowsThePreviousPhoto) {
    WriteJpeg(PhotoPath("Picture 0000.jpg"), 640, 480, Qt::red);
    ASSERT_TRUE(WriteCmykJpeg(PhotoPath("Picture 0001.jpg"), 640, 480));
    library->StartupScan();
    EXPECT_GT(At(cells[0], 40, 30).red(), 200);
    EXPECT_EQ(At(cells[1], 36, 27), QColor(200, 0, 0)) << "the placeholder, not the red photo";
    EXPECT_EQ(At(cells[1], 36, 5), QColor(128, 128, 128));
}

} // namespace
