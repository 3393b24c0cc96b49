// The main window's side of the capture engine: the graph, the preview's
// start and stop, the resolution menu, camera presence and the camera's
// controls. The work is in capture/; these calls lend it the window's state.

#include "app/camera_dlg.h"

#include "capture/bounded_state_change.h"
#include "capture/camera_properties.h"
#include "capture/preview_control.h"
#include "capture/preview_status.h"
#include "platform/device_ids.h"
#include "platform/localized_texts.h"

#include <QApplication>

#include <cstring>

namespace {
// How often a camera start that waits for a modal loop looks again.
constexpr int CAMERA_START_RECHECK_MS = 100;
} // namespace

HRESULT CCameraDlg::InitStillGraph() {
    return ::InitStillGraph(*m_pGraphService, m_graph, m_btnResolution.m_nResolution,
                            &m_stcVideoHost, this);
}

void CCameraDlg::StopStillGraph() {
    ::StopStillGraph(m_graph);
    m_bPreviewRunning = false;
}

int CCameraDlg::RestartStillGraph(DWORD limitMs) {
    if (!m_pGraphService)
        return -1;
    HRESULT hrLast = S_OK;
    const int result = ::RestartStillGraph(*m_pGraphService, m_graph, m_btnResolution.m_nResolution,
                                           &m_stcVideoHost, this, limitMs, SystemTicks(), &hrLast);
    ShowStartOutcome(result, hrLast);
    return result;
}

void CCameraDlg::ShowStartOutcome(int nResult, HRESULT hrLast) {
    m_bPreviewRunning = nResult == 0;
    if (m_bPreviewRunning) {
        m_hrCameraLost = S_OK;
        m_strLostCameraId.clear();
    }
    if (m_pPreviewStatus) {
        const char* text = PreviewStatusText(nResult, hrLast, m_graph);
        // With no camera left to take over, the line goes on saying what
        // became of the one in use.
        if (nResult != 0 && FAILED(m_hrCameraLost) &&
            (!*text || std::strcmp(text, LocalizedText(TextId::NoCamera)) == 0))
            text = PreviewStatusText(-1, m_hrCameraLost, m_graph);
        m_pPreviewStatus->SetText(text);
    }
    // A V4L2 camera that fails or goes while it streams says so on the bus.
    if (m_bPreviewRunning)
        m_graph.m_pGraph->ReportCameraLoss([this](HRESULT hrCause) { OnCameraLost(hrCause); });
}

void CCameraDlg::WatchCameras() {
    m_pPreviewStatus = new CPreviewStatus(&m_stcVideoHost);
    m_cameraStartTimer.setSingleShot(true);
    m_cameraStartTimer.setInterval(CAMERA_START_RECHECK_MS);
    connect(&m_cameraStartTimer, &QTimer::timeout, this, &CCameraDlg::StartRequestedCamera);
    m_pGraphService->WatchDevices([this](const DeviceChange& change) { OnCameraChange(change); });
}

void CCameraDlg::OnCameraChange(const DeviceChange& change) {
    if (change.bAdded) {
        // The same camera back, or another one.
        if (!m_bPreviewRunning)
            RequestCameraStart();
        return;
    }
    // The PipeWire source posts no error when its node goes: its frames just
    // stop. Stopping here takes the frozen last frame away.
    if (m_bPreviewRunning && m_graph.m_pCapture &&
        change.strDeviceId == m_graph.m_pCapture->DeviceId())
        OnCameraLost(E_DEVICE_GONE);
    // The lost camera has left the list (at once, or after the device error
    // that stopped it): the first camera still listed, if any, takes over.
    // A camera that failed but stays listed is not tried again on its own.
    if (!m_bPreviewRunning && !m_strLostCameraId.empty() &&
        change.strDeviceId == m_strLostCameraId) {
        m_strLostCameraId.clear();
        RequestCameraStart();
    }
}

void CCameraDlg::OnCameraLost(HRESULT hrCause) {
    // Stopped, not left showing the last frame.
    m_hrCameraLost = hrCause;
    m_strLostCameraId = m_graph.m_pCapture ? m_graph.m_pCapture->DeviceId() : std::string();
    StopStillGraph();
    if (m_pPreviewStatus)
        m_pPreviewStatus->SetText(PreviewStatusText(-1, hrCause, m_graph));
}

void CCameraDlg::RequestCameraStart() {
    m_bCameraStartPending = true;
    StartRequestedCamera();
}

bool CCameraDlg::InModalLoop() const {
    // The device reports are queued calls, delivered by whichever event loop
    // runs: also the one of a menu, a question or a dialog. A start from in
    // there would rebuild the graph under it (the counter question still
    // holds a frame of the old one) and freeze it while the camera answers.
    const QWidget* modal = QApplication::activeModalWidget();
    return (modal && modal != this) || QApplication::activePopupWidget();
}

void CCameraDlg::StartRequestedCamera() {
    if (!m_bCameraStartPending)
        return;
    // Not inside a modal loop, nor while the graph of the camera that went
    // still comes down: a new graph is refused until then, and the attempt
    // would be spent for nothing.
    if (InModalLoop() || PendingStateChanges() > 0) {
        m_cameraStartTimer.start();
        return;
    }
    m_bCameraStartPending = false;
    // Not while the window is closed or closing, nor after another start got
    // a picture first.
    if (m_bPreviewRunning || !isVisible() || !m_pGraphService)
        return;
    HRESULT hrLast = S_OK;
    const int result = ::StartStillGraphOnce(
        *m_pGraphService, m_graph, m_btnResolution.m_nResolution, &m_stcVideoHost, this, &hrLast);
    ShowStartOutcome(result, hrLast);
}

void CCameraDlg::PlacePreviewControl() {
    ::PlacePreviewControl(&m_stcVideoHost, m_btnResolution.m_nResolution);
}

int CCameraDlg::GetResolution() const {
    return m_btnResolution.m_nResolution;
}

void CCameraDlg::SetResolutionAndShowImage(int nResolution) {
    m_btnResolution.m_nResolution = nResolution;
    m_btnResolution.ShowIdleImage();
    // Painted now, not at the next pass of the event loop: the restart that
    // follows holds the loop for as long as its retries last.
    m_btnResolution.repaint();
}

void CCameraDlg::OnResolutionButton() {
    ::OnResolutionButton(
        m_resolutionMenu, &m_btnResolution, this,
        [this](const char* id) { return IsCameraPresent(id); }, *this);
}

void CCameraDlg::OnResolutionCommand(UINT nID) {
    ::OnResolutionCommand(*this, nID);
}

int CCameraDlg::IsCameraPresent(const char* id) {
    return m_pDeviceIds ? ::IsCameraPresent(m_presence, id, *m_pDeviceIds) : 0;
}

int CCameraDlg::PreloadCameraPresence() {
    return m_pDeviceIds ? ::PreloadCameraPresence(m_presence, *m_pDeviceIds) : 0;
}

void CCameraDlg::ShowCameraProperties() {
    ::ShowCameraProperties(this, m_graph);
}
