// The main window's life: the single-instance check on creation, activation by
// a second start, the three ways it ends (close, Escape, suspend) and resume.
// Whatever the path, the preview is stopped before the frame bytes are freed:
// the grabber callback writes into them from the streaming thread.

#include "app/camera_dlg.h"

#include "capture/frame_buffer.h"
#include "capture/preview_control.h"
#include "platform/trace.h"
#include "platform/window_activation.h"

#include <cstdlib>

namespace {
// How long a second start tries to reach a running instance that may still
// be starting.
constexpr int ACTIVATION_SEND_MS = 2000;
} // namespace

BOOL CCameraDlg::OnCreate() {
    m_bPrimaryInstance = 1;
    m_mutex = std::make_unique<CSingleInstance>();
    if (!m_mutex->CreateInstanceLock()) {
        // Another instance runs: bring it to the front and end, having shown,
        // written and started nothing.
        m_mutex->SendActivation(ACTIVATION_SEND_MS, m_launchTokens);
        m_bPrimaryInstance = 0;
        return FALSE;
    }
    connect(m_mutex.get(), &CSingleInstance::activationRequested, this,
            &CCameraDlg::OnActivateMsg);
    connect(&m_powerEvents, &CPowerEvents::powerBroadcast, this, &CCameraDlg::OnPowerBroadcast);
    // Without a system bus there are no power events; nothing else changes.
    m_powerEvents.Connect();
    return TRUE;
}

void CCameraDlg::OnActivateMsg(const ActivationTokens& tokens) {
    // A minimised window stays so; otherwise to the front, above all others
    // for a moment, with the second start's proof that the user asked.
    if (isMinimized())
        return;
    BringWindowToFront(windowHandle(), tokens);
}

void CCameraDlg::OnClose() {
    if (!m_bPrimaryInstance)
        return;
    Trace("enter close!!!..");
    StopStillGraph();
    Trace("finish stop preview");
    ReleaseFrameBuffer();
    FreePhotoRecords();
    SaveCapTimes();
    Trace("exit..");
}

void CCameraDlg::DestroyWindow() {
    StopStillGraph();
}

void CCameraDlg::OnDestroy() {
    if (m_bPrimaryInstance) {
        StopStillGraph();
        ReleaseFrameBuffer();
        FreePhotoRecords();
        m_pDecodeBuffer = nullptr;
        m_decodeBuffer.reset();
        SaveCapTimes();
        m_mutex->ReleaseInstanceLock();
    }
    if (m_nFolderPollTimer) {
        killTimer(m_nFolderPollTimer);
        m_nFolderPollTimer = 0;
    }
}

void CCameraDlg::OnPowerBroadcast(UINT nEvent) {
    if (nEvent == PBT_APMSUSPEND) {
        // The process ends here: no teardown, the counter was saved at every
        // change, and the next start clears the lock this one leaves behind.
        StopStillGraph();
        if (m_nFolderPollTimer)
            killTimer(m_nFolderPollTimer);
        m_nFolderPollTimer = 0;
        FreePhotoRecords();
        std::exit(0);
    }
    if (nEvent == PBT_APMRESUMEAUTOMATIC) {
        int nKind = 0;
        char szText[260];
        DWORD nSuspended = 0;
        if (ReadValue(HKEY_CURRENT_USER, "SOFTWARE\\OrvelCam", "ApmSuspend", nKind, szText,
                      sizeof szText, nSuspended) &&
            nSuspended == 1) {
            const DWORD zero = 0;
            WriteValue(HKEY_CURRENT_USER, "SOFTWARE\\OrvelCam", "ApmSuspend", REG_DWORD, &zero, 4);
            RestartStillGraph(PREVIEW_START_LIMIT_MS);
        }
    }
}
