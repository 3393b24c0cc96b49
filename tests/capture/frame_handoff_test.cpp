#include "capture/frame_buffer.h"
#include "live_capture_helpers.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

class FrameHandoff : public ::testing::Test {
protected:
    void SetUp() override {
        ReleaseFrameBuffer();
        g_frameBuffer.nCapacity = 0;
        g_frameBuffer.bArmed = 0;
        g_grabberCallback.m_pOwner = &sink;
        g_grabberCallback.m_nWidth = 640;
        g_grabberCallback.m_nHeight = 480;
    }
    void TearDown() override {
        CGrabberCallback::s_pfnAllocate = &std::malloc;
        g_grabberCallback.m_pOwner = nullptr;
        ReleaseFrameBuffer();
        g_frameBuffer.nCapacity = 0;
        g_frameBuffer.bArmed = 0;
    }

    int DeliveredPosts() {
        QCoreApplication::sendPostedEvents(&sink);
        return sink.nReady;
    }

    static std::vector<BYTE> Frame(int width, int height, BYTE value) {
        return std::vector<BYTE>(static_cast<size_t>(width) * height * 3, value);
    }

    static HRESULT Deliver(std::vector<BYTE>& frame, double time = 0.0) {
        return g_grabberCallback.BufferCB(time, frame.data(), static_cast<LONG>(frame.size()));
    }

    SnapshotCatcher sink;
};

TEST_F(FrameHandoff, IdleFramesCopyAndPostNothing) {
    auto frame = Frame(640, 480, 7);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Deliver(frame, i), S_OK);
    EXPECT_EQ(g_frameBuffer.pData, nullptr);
    EXPECT_EQ(g_frameBuffer.nCapacity, 0);
    EXPECT_EQ(DeliveredPosts(), 0);
}

TEST_F(FrameHandoff, BlockIsSizedByTheFirstFrameGrowsAndIsReused) {
    ArmSnapshot("/pictures/");
    auto vga = Frame(640, 480, 1);
    ASSERT_EQ(Deliver(vga, 1.5), S_OK);
    EXPECT_EQ(g_frameBuffer.nCapacity, 921600);
    EXPECT_EQ(g_frameBuffer.dblSampleTime, 1.5);
    EXPECT_EQ(g_frameBuffer.pData[921599], 1);

    auto large = Frame(1280, 1024, 2);
    ASSERT_EQ(Deliver(large), S_OK);
    EXPECT_EQ(g_frameBuffer.nCapacity, 3932160);
    unsigned char* const block = g_frameBuffer.pData;

    auto small = Frame(320, 240, 3);
    ASSERT_EQ(Deliver(small), S_OK);
    EXPECT_EQ(g_frameBuffer.pData, block) << "a smaller frame reuses the block";
    EXPECT_EQ(g_frameBuffer.nCapacity, 3932160);
    EXPECT_EQ(block[230399], 3);
    EXPECT_EQ(block[230400], 2) << "only the first 230400 bytes are overwritten";
    EXPECT_EQ(DeliveredPosts(), 3);
}

TEST_F(FrameHandoff, OneConsumptionTakesTheLastOfSeveralFrames) {
    ArmSnapshot("/pictures/");
    for (BYTE value : {10, 20, 30}) {
        auto frame = Frame(640, 480, value);
        ASSERT_EQ(Deliver(frame), S_OK);
    }
    EXPECT_EQ(DeliveredPosts(), 3);

    int syncDirStatus = 0;
    {
        SnapshotFrame taken = TakeSnapshotFrame(syncDirStatus);
        ASSERT_TRUE(taken);
        EXPECT_EQ(syncDirStatus, 1);
        EXPECT_EQ(g_frameBuffer.bArmed, 0);
        EXPECT_EQ(taken.Width(), 640);
        EXPECT_EQ(taken.Height(), 480);
        EXPECT_EQ(taken.Data()[0], 30);
        EXPECT_EQ(taken.Data()[921599], 30);
    }
    // The two later messages find nothing to take.
    syncDirStatus = 0;
    EXPECT_FALSE(TakeSnapshotFrame(syncDirStatus));
    EXPECT_FALSE(TakeSnapshotFrame(syncDirStatus));
    EXPECT_EQ(syncDirStatus, 0);
}

TEST_F(FrameHandoff, ConsumptionIsRefusedWhileASaveRunsOrWithoutAFrame) {
    int syncDirStatus = 0;
    ArmSnapshot("/pictures/");
    EXPECT_FALSE(TakeSnapshotFrame(syncDirStatus)) << "armed but no frame copied yet";
    EXPECT_EQ(g_frameBuffer.bArmed, 0) << "the request is dropped";

    ArmSnapshot("/pictures/");
    auto frame = Frame(640, 480, 5);
    ASSERT_EQ(Deliver(frame), S_OK);
    syncDirStatus = 1;
    EXPECT_FALSE(TakeSnapshotFrame(syncDirStatus));
    EXPECT_EQ(g_frameBuffer.bArmed, 0);
    EXPECT_EQ(syncDirStatus, 1);
}

// The size that comes with a frame is the one it is taken at, whatever the
// graph connected with; a frame shorter than its size is never handed out.
TEST_F(FrameHandoff, AFrameIsTakenAtItsOwnSizeAndNeverReadPastItsEnd) {
    ArmSnapshot("/pictures/");
    auto frame = Frame(320, 240, 5); // the connected geometry still says 640 x 480
    ASSERT_EQ(Deliver(frame), S_OK);
    int syncDirStatus = 0;
    EXPECT_FALSE(TakeSnapshotFrame(syncDirStatus));
    EXPECT_EQ(syncDirStatus, 0);

    ArmSnapshot("/pictures/");
    ASSERT_EQ(g_grabberCallback.SizedBufferCB(0.0, frame.data(), LONG(frame.size()), 320, 240),
              S_OK);
    {
        SnapshotFrame taken = TakeSnapshotFrame(syncDirStatus);
        ASSERT_TRUE(taken);
        EXPECT_EQ(taken.Width(), 320);
        EXPECT_EQ(taken.Height(), 240);
    }
    SnapshotFrame held = HoldCopiedFrame();
    ASSERT_TRUE(held) << "the store locks the same frame again for the write";
    EXPECT_EQ(held.Width(), 320);

    syncDirStatus = 0;
    ArmSnapshot("/pictures/");
    held = SnapshotFrame();
    ASSERT_EQ(g_grabberCallback.SizedBufferCB(0.0, frame.data(), LONG(frame.size()), 321, 240),
              S_OK);
    EXPECT_FALSE(TakeSnapshotFrame(syncDirStatus));
    EXPECT_FALSE(HoldCopiedFrame());
}

TEST_F(FrameHandoff, NullFrameAndFailedAllocationKeepTheRequestPending) {
    ArmSnapshot("/pictures/");
    EXPECT_EQ(g_grabberCallback.BufferCB(0.0, nullptr, 921600), E_POINTER);
    EXPECT_EQ(g_frameBuffer.pData, nullptr);

    CGrabberCallback::s_pfnAllocate = [](std::size_t) -> void* { return nullptr; };
    auto frame = Frame(640, 480, 9);
    EXPECT_EQ(Deliver(frame), E_OUTOFMEMORY);
    EXPECT_EQ(g_frameBuffer.pData, nullptr);
    EXPECT_EQ(g_frameBuffer.nCapacity, 0);
    EXPECT_EQ(g_frameBuffer.bArmed, 1);
    EXPECT_EQ(DeliveredPosts(), 0);

    CGrabberCallback::s_pfnAllocate = &std::malloc;
    EXPECT_EQ(Deliver(frame), S_OK) << "the next frame tries again";
    EXPECT_EQ(DeliveredPosts(), 1);
}

TEST_F(FrameHandoff, ArmingCopiesThePhotoFolderBounded) {
    ArmSnapshot("/home/user/Pictures/");
    EXPECT_STREQ(g_grabberCallback.m_szPhotoDir, "/home/user/Pictures/");
    const std::string tooLong(400, 'x');
    ArmSnapshot(tooLong.c_str());
    EXPECT_EQ(std::string(g_grabberCallback.m_szPhotoDir).size(), 259u);
}

TEST(GrabberInterface, AnswersForItsTwoInterfacesOnly) {
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(g_grabberCallback.QueryInterface(IID_ISampleGrabberCB, &out), S_OK);
    EXPECT_EQ(out, static_cast<ISampleGrabberCB*>(&g_grabberCallback));
    out = nullptr;
    EXPECT_EQ(g_grabberCallback.QueryInterface(IID_IUnknown, &out), S_OK);
    EXPECT_EQ(out, static_cast<ISampleGrabberCB*>(&g_grabberCallback));

    const IID other = {
        0x56a868b1, 0x0ad4, 0x11ce, {0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
    out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(g_grabberCallback.QueryInterface(other, &out), E_NOINTERFACE);
    EXPECT_EQ(out, reinterpret_cast<void*>(0x1234));

    EXPECT_EQ(g_grabberCallback.AddRef(), 2u);
    EXPECT_EQ(g_grabberCallback.Release(), 1u);
    EXPECT_EQ(g_grabberCallback.AddRef(), 2u) << "counts never change";
    EXPECT_EQ(g_grabberCallback.SampleCB(0.0, nullptr), S_OK);
}

// A second thread delivers frames as fast as it can, each filled with one byte
// value, while this thread arms and consumes thousands of times. A consumed
// frame must never mix two deliveries. Run under the thread sanitizer too.
TEST_F(FrameHandoff, ConsumedFramesAreAlwaysWhole) {
    g_grabberCallback.m_pOwner = nullptr; // no events: this test is about the bytes
    g_grabberCallback.m_nWidth = 64;
    g_grabberCallback.m_nHeight = 48;
    std::atomic<bool> stop{false};
    std::thread streaming([&] {
        auto frame = Frame(64, 48, 0);
        for (BYTE value = 1; !stop.load(); ++value) {
            std::fill(frame.begin(), frame.end(), value);
            Deliver(frame);
        }
    });

    // Arm, give the streaming thread a moment, consume: until enough frames
    // were taken (bounded in time, in case the machine is very slow).
    int taken = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (int round = 0; taken < 2000 && std::chrono::steady_clock::now() < deadline; ++round) {
        ArmSnapshot("/pictures/");
        std::this_thread::yield();
        int syncDirStatus = 0;
        SnapshotFrame frame = TakeSnapshotFrame(syncDirStatus);
        if (!frame)
            continue;
        ++taken;
        const BYTE first = frame.Data()[0];
        const int size = frame.Width() * frame.Height() * 3;
        for (int i = 1; i < size; ++i)
            ASSERT_EQ(frame.Data()[i], first) << "round " << round << " byte " << i;
        // Convert in place as the snapshot store does; the next copy overwrites it.
        for (int i = 0; i < size; ++i)
            frame.Data()[i] = static_cast<BYTE>(first + 1);
    }
    stop = true;
    streaming.join();
    EXPECT_EQ(taken, 2000);
}

} // namespace
