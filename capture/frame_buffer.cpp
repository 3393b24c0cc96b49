#include "capture/frame_buffer.h"

#include <QCoreApplication>
#include <QObject>

#include <cstdlib>
#include <cstring>

FrameBuffer g_frameBuffer;
CGrabberCallback g_grabberCallback;

void* (*CGrabberCallback::s_pfnAllocate)(std::size_t) = &std::malloc;

HRESULT CGrabberCallback::QueryInterface(REFIID riid, void** ppvObject) {
    if (riid == IID_ISampleGrabberCB || riid == IID_IUnknown) {
        *ppvObject = static_cast<ISampleGrabberCB*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT CGrabberCallback::SampleCB(double, void*) {
    return S_OK;
}

HRESULT CGrabberCallback::BufferCB(double sampleTime, BYTE* pBuffer, LONG bufferLen) {
    return SizedBufferCB(sampleTime, pBuffer, bufferLen, m_nWidth, m_nHeight);
}

// Streaming thread. Only the hand-off happens here: test, copy, post. The
// conversion to RGB and the file write belong to the UI thread.
HRESULT CGrabberCallback::SizedBufferCB(double sampleTime, BYTE* pBuffer, LONG bufferLen,
                                        LONG width, LONG height) {
    FrameBuffer& fb = g_frameBuffer;
    if (!fb.bArmed.load(std::memory_order_acquire))
        return S_OK;
    if (!pBuffer)
        return E_POINTER;

    {
        std::lock_guard lock(fb.m_lock);
        // The consumer may have taken the snapshot while we waited for the lock.
        if (!fb.bArmed.load(std::memory_order_acquire))
            return S_OK;

        if (fb.nCapacity < bufferLen) {
            std::free(fb.pData);
            fb.pData = nullptr;
            fb.nCapacity = 0;
        }
        fb.dblSampleTime = sampleTime;
        if (!fb.pData) {
            fb.pData = static_cast<unsigned char*>(
                s_pfnAllocate(static_cast<std::size_t>(bufferLen > 0 ? bufferLen : 0)));
            if (!fb.pData) {
                fb.nCapacity = 0;
                fb.nLength = 0;
                return E_OUTOFMEMORY;
            }
            fb.nCapacity = bufferLen;
        }
        if (bufferLen > 0)
            std::memcpy(fb.pData, pBuffer, static_cast<std::size_t>(bufferLen));
        fb.nLength = bufferLen;
        fb.nWidth = width;
        fb.nHeight = height;
    }

    // postEvent is safe from any thread; the owner outlives every running graph.
    if (m_pOwner)
        QCoreApplication::postEvent(m_pOwner, new QEvent(SnapshotReadyEvent));
    return S_OK;
}

void ArmSnapshot(const char* photoFolder) {
    // The copy is bounded and always terminated; the snapshot store refuses a
    // folder that did not fit.
    std::strncpy(g_grabberCallback.m_szPhotoDir, photoFolder,
                 sizeof g_grabberCallback.m_szPhotoDir - 1);
    g_grabberCallback.m_szPhotoDir[sizeof g_grabberCallback.m_szPhotoDir - 1] = '\0';
    g_frameBuffer.bArmed.store(1, std::memory_order_release);
}

void ReleaseFrameBuffer() {
    std::lock_guard lock(g_frameBuffer.m_lock);
    std::free(g_frameBuffer.pData);
    g_frameBuffer.pData = nullptr;
    g_frameBuffer.nCapacity = 0;
    g_frameBuffer.nLength = 0;
    g_frameBuffer.nWidth = 0;
    g_frameBuffer.nHeight = 0;
}

namespace {

// The copied frame under the lock the caller holds, or empty when the block
// does not hold a whole frame of the size it came with.
SnapshotFrame CopiedFrame(std::unique_lock<std::mutex> lock) {
    const FrameBuffer& fb = g_frameBuffer;
    const long long needed = 3LL * fb.nWidth * fb.nHeight;
    if (!fb.pData || fb.nWidth <= 0 || fb.nHeight <= 0 || needed > fb.nLength)
        return {};
    return SnapshotFrame(std::move(lock), fb.pData, fb.nWidth, fb.nHeight);
}

} // namespace

SnapshotFrame TakeSnapshotFrame(int& syncDirStatus) {
    FrameBuffer& fb = g_frameBuffer;
    std::unique_lock lock(fb.m_lock);
    const int armed = fb.bArmed.load(std::memory_order_acquire);
    unsigned char* pData = fb.pData;
    if (!armed || !pData || syncDirStatus == 1) {
        fb.bArmed.store(0, std::memory_order_release);
        return {};
    }
    syncDirStatus = 1;
    fb.bArmed.store(0, std::memory_order_release);

    SnapshotFrame frame = CopiedFrame(std::move(lock));
    // A frame shorter than its size says cannot be saved whole.
    if (!frame)
        syncDirStatus = 0;
    return frame;
}

SnapshotFrame HoldCopiedFrame() {
    return CopiedFrame(std::unique_lock(g_frameBuffer.m_lock));
}
