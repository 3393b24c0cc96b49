#include "tests/library/library_fixture.h"

#include "capture/frame_buffer.h"
#include "library/picture_number.h"

#include <QCoreApplication>
#include <QImageReader>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include <sys/stat.h>

namespace {

// The main window's side of WM_SNAPSHOT_READY.
class SnapshotWindow : public QObject {
public:
    explicit SnapshotWindow(CPhotoLibrary& library) : m_library(library) {}

protected:
    bool event(QEvent* e) override {
        if (e->type() != SnapshotReadyEvent)
            return QObject::event(e);
        m_library.OnSnapshotReady();
        return true;
    }

private:
    CPhotoLibrary& m_library;
};

class SnapshotStore : public ::testing::Test, protected LibraryFixture {
protected:
    SnapshotStore() : window(*library) {
        g_grabberCallback.m_pOwner = &window;
        g_grabberCallback.m_nWidth = 640;
        g_grabberCallback.m_nHeight = 480;
        g_frameBuffer.bArmed = 0;
        library->StartupScan();
    }
    ~SnapshotStore() override {
        g_grabberCallback.m_pOwner = nullptr;
        ReleaseFrameBuffer();
        EXPECT_EQ(g_frameBuffer.nCapacity, 0) << "a freed block has no capacity";
        g_frameBuffer.bArmed = 0;
    }

    // The streaming thread's delivery of one frame: bottom row blue, top row
    // red, in the grabber's bottom-up BGR order.
    void DeliverFrame() {
        std::vector<BYTE> frame(640 * 480 * 3, 0);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                frame[(y * 640 + x) * 3 + (y < 240 ? 0 : 2)] = 255;
        ASSERT_EQ(g_grabberCallback.BufferCB(0.0, frame.data(), LONG(frame.size())), S_OK);
    }
    void Snapshot() {
        library->OnSnapshotButton();
        DeliverFrame();
        QCoreApplication::sendPostedEvents(&window);
    }
    std::string Picture(int n) { return PictureFileName(Folder() + "/", n); }
    void Take(std::initializer_list<int> numbers) {
        for (int n : numbers)
            Touch(Picture(n));
    }
    int Jpegs() {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(Folder()))
            count += entry.path().extension() == ".jpg" && entry.is_regular_file();
        return count;
    }

    SnapshotWindow window;
    MessageBoxRecorder boxes;
};

TEST_F(SnapshotStore, FirstSnapshotIsPicture0000UprightAndSelectedAtTheEnd) {
    Snapshot();
    ASSERT_TRUE(FileExists(Picture(0)));
    EXPECT_EQ(members.m_nCapTimes, 1);
    EXPECT_EQ(storedCounters, std::vector<int>{1});
    QImage written(QString::fromStdString(Picture(0)));
    ASSERT_EQ(written.size(), QSize(640, 480));
    EXPECT_GT(written.pixelColor(10, 10).red(), 200) << "the frame's last row is the top";
    EXPECT_GT(written.pixelColor(10, 470).blue(), 200);
    EXPECT_EQ(strip.m_nPhotoCount, 1);
    EXPECT_EQ(strip.m_nAnchor, 0);
    EXPECT_EQ(strip.m_marks[0], 1);
    EXPECT_TRUE(deleteButtonEnabled);
    EXPECT_EQ(members.m_sync_dir_status, 0);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(SnapshotStore, TakenNumbersAreSkippedAndTheCounterFollows) {
    struct Case {
        int counter;
        std::vector<int> taken;
        int written, stored;
    } cases[] = {
        {5, {5, 6}, 7, 8},
        {9998, {0, 1, 2, 9998, 9999}, 3, 4},
        {20000, {0}, 1, 2}, // a stored value above the limit means the limit
        {-3, {}, 0, 1},
    };
    for (const Case& c : cases) {
        for (const auto& entry : std::filesystem::directory_iterator(Folder()))
            std::filesystem::remove(entry.path());
        for (int n : c.taken)
            Touch(Picture(n));
        members.m_nCapTimes = c.counter;
        storedCounters.clear();
        Snapshot();
        EXPECT_EQ(QImageReader(QString::fromStdString(Picture(c.written))).size(), QSize(640, 480))
            << "counter " << c.counter;
        EXPECT_EQ(members.m_nCapTimes, c.stored);
        EXPECT_EQ(storedCounters.back(), c.stored);
        EXPECT_EQ(Jpegs(), int(c.taken.size()) + 1);
    }
    for (const MessageBoxRequest& box : boxes.boxes)
        EXPECT_NE(box.style, MB_YESNO | MB_ICONQUESTION) << "no reset question: " << box.text;
}

TEST_F(SnapshotStore, AnEntryOfThePhotosNameInAnyCaseCountsAsTaken) {
    std::filesystem::create_directory(Picture(4));
    Touch(Folder() + "/Picture 0005.JPG");
    Touch(Folder() + "/pICTURE 0006.jpg");
    members.m_nCapTimes = 4;
    Snapshot();
    EXPECT_TRUE(FileExists(Picture(7)));
    EXPECT_EQ(members.m_nCapTimes, 8);
    EXPECT_TRUE(std::filesystem::is_directory(Picture(4)));
    EXPECT_FALSE(FileExists(Picture(5)));
    EXPECT_FALSE(FileExists(Picture(6)));
}

TEST_F(SnapshotStore, AllNamesTakenAsksAndNoWritesNothing) {
    for (int n = 0; n < PICTURE_NUMBER_LIMIT; ++n)
        Touch(Picture(n));
    members.m_nCapTimes = PICTURE_NUMBER_LIMIT;
    boxes.answers = {IDYES, IDNO};
    Snapshot();
    ASSERT_EQ(boxes.boxes.size(), 2u) << "Yes finds everything taken again and asks again";
    EXPECT_EQ(boxes.boxes[0].text, "Your photograph quantity already arrived the most upper "
                                   "limit( 10000 )\nDo You Want To Reset Count To Zero ?");
    EXPECT_EQ(boxes.boxes[0].caption, "Nimbrel Vizor webcam");
    EXPECT_EQ(boxes.boxes[0].style, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(storedCounters, (std::vector<int>{0, PICTURE_NUMBER_LIMIT}));
    EXPECT_EQ(members.m_nCapTimes, PICTURE_NUMBER_LIMIT);
    EXPECT_EQ(Jpegs(), PICTURE_NUMBER_LIMIT);
    EXPECT_EQ(members.m_sync_dir_status, 0);
}

// A preview started while the reset question is open (a resume) writes its
// own, smaller size into the grabber; the held frame is still written at the
// size it was taken with, whole and upright.
TEST_F(SnapshotStore, TheHeldFrameKeepsItsSizeWhenAGraphStartsDuringTheQuestion) {
    for (int n = 0; n < PICTURE_NUMBER_LIMIT; ++n)
        Touch(Picture(n));
    members.m_nCapTimes = PICTURE_NUMBER_LIMIT;
    boxes.answers = {IDYES};
    boxes.duringBox = [this] {
        if (boxes.boxes.size() > 1)
            return; // the thumbnails' complaints about the touched files
        g_grabberCallback.m_nWidth = 320;
        g_grabberCallback.m_nHeight = 240;
        std::filesystem::remove(Picture(0));
    };
    Snapshot();
    QImage written(QString::fromStdString(Picture(0)));
    ASSERT_EQ(written.size(), QSize(640, 480));
    EXPECT_GT(written.pixelColor(630, 10).red(), 200);
    EXPECT_GT(written.pixelColor(630, 470).blue(), 200);
}

TEST_F(SnapshotStore, TwoMessagesGiveOnePhotoAndOneDuringThePromptIsDropped) {
    library->OnSnapshotButton();
    DeliverFrame();
    DeliverFrame();
    QCoreApplication::sendPostedEvents(&window);
    EXPECT_EQ(Jpegs(), 1);

    for (int n = 1; n < PICTURE_NUMBER_LIMIT; ++n)
        Touch(Picture(n));
    members.m_nCapTimes = PICTURE_NUMBER_LIMIT;
    boxes.answers = {IDNO};
    // A second frame is posted before the first message is handled; the
    // question's modal loop delivers its message.
    boxes.duringBox = [this] { QCoreApplication::sendPostedEvents(&window); };
    library->OnSnapshotButton();
    DeliverFrame();
    DeliverFrame();
    QCoreApplication::sendPostedEvents(&window);
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(g_frameBuffer.bArmed, 0);
    EXPECT_EQ(Jpegs(), PICTURE_NUMBER_LIMIT);
}

TEST_F(SnapshotStore, PhotosTakenWhileTheStreamRunsAreWholeFrames) {
    // A streaming thread delivers uniform frames, each a new grey level.
    std::atomic<bool> stop{false};
    std::thread streaming([&] {
        std::vector<BYTE> frame(640 * 480 * 3);
        for (BYTE level = 0; !stop.load(); level += 40) {
            std::fill(frame.begin(), frame.end(), level);
            g_grabberCallback.BufferCB(0.0, frame.data(), LONG(frame.size()));
        }
    });
    for (int shot = 0; shot < 5; ++shot) {
        library->OnSnapshotButton();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!FileExists(Picture(shot)) && std::chrono::steady_clock::now() < deadline)
            QCoreApplication::sendPostedEvents(&window);
    }
    stop = true;
    streaming.join();
    for (int shot = 0; shot < 5; ++shot) {
        const QImage photo(QString::fromStdString(Picture(shot)));
        ASSERT_EQ(photo.size(), QSize(640, 480));
        EXPECT_NEAR(photo.pixelColor(5, 5).red(), photo.pixelColor(630, 470).red(), 4)
            << "photo " << shot << " mixes two frames";
    }
}

TEST_F(SnapshotStore, FailedWriteLosesOnlyTheNumber) {
    std::filesystem::remove_all(Folder());
    Snapshot();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "JpegFile :\nCan't open " + Picture(0) + "\n");
    EXPECT_EQ(members.m_nCapTimes, 1);
    EXPECT_EQ(strip.m_nPhotoCount, 0);
    EXPECT_EQ(members.m_sync_dir_status, 0);
    std::filesystem::create_directory(Folder());
}

TEST_F(SnapshotStore, ALookupThatFailsIsAFailedWriteAndUsesNoNumber) {
    // The folder is reached through a link to itself: every lookup fails with
    // "too many levels of links", which says nothing about the name.
    ASSERT_EQ(symlink("loop", (Folder() + "/loop").c_str()), 0);
    members.m_strPhotoFolder = Folder() + "/loop/";
    for (int counter : {5, PICTURE_NUMBER_LIMIT}) {
        members.m_nCapTimes = counter;
        boxes.boxes.clear();
        Snapshot();
        ASSERT_EQ(boxes.boxes.size(), 1u) << "counter " << counter;
        EXPECT_EQ(boxes.boxes[0].text, "JpegFile :\nCan't open " + Folder() + "/loop/" +
                                           PictureFileName("", counter == 5 ? 5 : 0) + "\n");
        EXPECT_EQ(members.m_nCapTimes, counter);
        EXPECT_EQ(members.m_sync_dir_status, 0);
    }
    EXPECT_TRUE(storedCounters.empty());
}

TEST_F(SnapshotStore, NoBoxIsShownWhileTheFrameIsHeld) {
    // A box runs a nested event loop; the streaming thread must be able to
    // take the frame's lock meanwhile.
    std::vector<bool> lockFree;
    boxes.duringBox = [&] {
        bool bFree = false;
        std::thread([&] {
            if (g_frameBuffer.m_lock.try_lock()) {
                bFree = true;
                g_frameBuffer.m_lock.unlock();
            }
        }).join();
        lockFree.push_back(bFree);
    };
    // The reset question (answered No), then a write that fails.
    for (int n = 0; n < PICTURE_NUMBER_LIMIT; ++n)
        Touch(Picture(n));
    members.m_nCapTimes = PICTURE_NUMBER_LIMIT;
    boxes.answers = {IDNO};
    Snapshot();
    std::filesystem::remove_all(Folder());
    members.m_nCapTimes = 0;
    Snapshot();
    std::filesystem::create_directory(Folder());

    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].style, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(boxes.boxes[1].text, "JpegFile :\nCan't open " + Picture(0) + "\n");
    EXPECT_EQ(lockFree, (std::vector<bool>{true, true}));
}

TEST_F(SnapshotStore, CutFolderPrefixIsRefused) {
    members.m_strPhotoFolder = Folder() + "/" + std::string(300, 'x') + "/";
    Snapshot();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Jpegs(), 0);
    EXPECT_EQ(members.m_nCapTimes, 0);
    EXPECT_EQ(members.m_sync_dir_status, 0);
}

TEST(PictureNames, FormatAndSearchBounds) {
    EXPECT_EQ(PictureFileName("/p/", 7), "/p/Picture 0007.jpg");
    EXPECT_EQ(PictureFileName("", 9999), "Picture 9999.jpg");
    std::string last;
    EXPECT_EQ(FindFreePictureNumber("/nonexistent-folder/", last, 3, 2), -1);
    EXPECT_EQ(FindFreePictureNumber("/nonexistent-folder/", last, 3, 9), 3);
    EXPECT_EQ(last, "/nonexistent-folder/Picture 0003.jpg");
}

} // namespace
