#pragma once
// The snapshot hand-off between the media streaming thread and the main
// window: the process-wide FrameBuffer record, filled by the grabber callback
// while a snapshot is armed, and the consumer side used by the snapshot store.

#include "platform/win_types.h"

#include <QEvent>

#include <atomic>
#include <cstddef>
#include <mutex>

class QObject;

// Posted to the owner window when an armed frame has been copied.
constexpr UINT WM_SNAPSHOT_READY = WM_APP + 1; // 32769
inline const QEvent::Type SnapshotReadyEvent = static_cast<QEvent::Type>(WM_SNAPSHOT_READY);

struct FrameBuffer {
    // 1 while a snapshot has been requested and not yet taken. Written by the
    // UI thread, read by BufferCB; atomic so the streaming thread sees it.
    std::atomic<int> bArmed{0};

    // Written by BufferCB on the streaming thread, read and converted in place
    // by the snapshot handler on the UI thread; m_lock guards dblSampleTime,
    // nCapacity, nLength, nWidth, nHeight, pData and the pixel bytes, so a
    // saved photo is always one whole frame and the block is never reallocated
    // under the reader.
    std::mutex m_lock;
    double dblSampleTime = 0.0;
    int nCapacity = 0;
    // Bytes of the frame last copied. The consumer checks it against the frame
    // geometry so a short frame can never be read past its end.
    int nLength = 0;
    // The size of the frame last copied, as it came with the frame: a camera
    // may change its size while it streams, so the size connected at the
    // graph's start does not describe every frame.
    int nWidth = 0;
    int nHeight = 0;
    unsigned char* pData = nullptr;
};

extern FrameBuffer g_frameBuffer;

// Whether a snapshot is pending. The frame tap asks this before it builds the
// bottom-up BGR copy for BufferCB: an unarmed frame costs this one load.
inline bool SnapshotArmed() {
    return g_frameBuffer.bArmed.load(std::memory_order_acquire) != 0;
}

// The platform's ISampleGrabberCB, in slot order. The grabber calls the
// process-wide object through this interface.
class ISampleGrabberCB {
public:
    virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG_T AddRef() = 0;
    virtual ULONG_T Release() = 0;
    virtual HRESULT SampleCB(double sampleTime, void* pSample) = 0;
    virtual HRESULT BufferCB(double sampleTime, BYTE* pBuffer, LONG bufferLen) = 0;
    // The same frame with its own size in pixels: rows of width x 3 bytes of
    // bottom-up BGR. A grabber that knows each frame's size (from the caps it
    // came with) calls this one; a callback that has no use for the size
    // takes the frame through BufferCB.
    virtual HRESULT SizedBufferCB(double sampleTime, BYTE* pBuffer, LONG bufferLen, LONG /*width*/,
                                  LONG /*height*/) {
        return BufferCB(sampleTime, pBuffer, bufferLen);
    }

protected:
    ~ISampleGrabberCB() = default;
};

inline constexpr IID IID_ISampleGrabberCB = {
    0x0579154A, 0x2B53, 0x4994, {0xB0, 0xD0, 0xE7, 0x73, 0x14, 0x8E, 0xFF, 0x85}};
inline constexpr IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class CGrabberCallback final : public ISampleGrabberCB {
public:
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    // Process-wide and never freed: the counts are constant.
    ULONG_T AddRef() override { return 2; }
    ULONG_T Release() override { return 1; }
    HRESULT SampleCB(double sampleTime, void* pSample) override;
    // Run on the streaming thread for every frame. BufferCB takes the frame as
    // m_nWidth x m_nHeight, the size connected when the graph was built.
    HRESULT BufferCB(double sampleTime, BYTE* pBuffer, LONG bufferLen) override;
    HRESULT SizedBufferCB(double sampleTime, BYTE* pBuffer, LONG bufferLen, LONG width,
                          LONG height) override;

    // Written only while no graph runs, so BufferCB never sees them change.
    int m_nWidth = 0;
    int m_nHeight = 0;
    QObject* m_pOwner = nullptr;
    char m_szPhotoDir[260] = {};

    // Test seam for the frame block's allocation; malloc in the program.
    static void* (*s_pfnAllocate)(std::size_t);
};

extern CGrabberCallback g_grabberCallback;

// The snapshot request: the photo folder for the next file name, then the flag.
void ArmSnapshot(const char* photoFolder);

// Frees the frame block at shutdown. The preview must be stopped first.
void ReleaseFrameBuffer();

// The consumer's hold on a taken frame. While it lives the streaming thread
// cannot write into the frame, so the holder may convert it in place.
class SnapshotFrame {
public:
    SnapshotFrame() = default;
    SnapshotFrame(std::unique_lock<std::mutex> lock, unsigned char* pData, int width, int height)
        : m_lock(std::move(lock)), m_pData(pData), m_nWidth(width), m_nHeight(height) {}

    explicit operator bool() const { return m_pData != nullptr; }
    unsigned char* Data() const { return m_pData; }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }

private:
    std::unique_lock<std::mutex> m_lock;
    unsigned char* m_pData = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
};

// The WM_SNAPSHOT_READY handler's consumption rule. Disarms in every case; when
// a frame was pending, a buffer is present and no save runs (syncDirStatus 0),
// sets syncDirStatus to 1 and returns the frame, bottom-up BGR at the size it
// was copied with. Otherwise returns an empty frame and leaves syncDirStatus.
SnapshotFrame TakeSnapshotFrame(int& syncDirStatus);

// The frame last copied, locked again after TakeSnapshotFrame let it go (the
// snapshot store asks its questions in between). Empty when the block was
// freed meanwhile or holds no whole frame.
SnapshotFrame HoldCopiedFrame();
