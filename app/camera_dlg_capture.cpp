// The main window's side of the capture engine: the graph, the preview's
// start and stop, the resolution menu, camera presence and the camera's
// controls. The work is in capture/; these calls lend it the window's state.

#include "app/camera_dlg.h"

#include "capture/camera_properties.h"
#include "capture/preview_control.h"
#include "capture/preview_status.h"
#include "platform/device_ids.h"

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
    m_bPreviewRunning = result == 0;
    if (m_pPreviewStatus)
        m_pPreviewStatus->SetText(PreviewStatusText(result, hrLast, m_graph));
    // A V4L2 camera that fails or goes while it streams says so on the bus.
    if (m_bPreviewRunning)
        m_graph.m_pGraph->ReportCameraLoss([this](HRESULT hrCause) { OnCameraLost(hrCause); });
    return result;
}

void CCameraDlg::WatchCameras() {
    m_pPreviewStatus = new CPreviewStatus(&m_stcVideoHost);
    m_pGraphService->WatchDevices([this](const DeviceChange& change) { OnCameraChange(change); });
}

void CCameraDlg::OnCameraChange(const DeviceChange& change) {
    if (!change.bAdded) {
        // The PipeWire source posts no error when its node goes: its frames
        // just stop. Stopping here takes the frozen last frame away.
        if (m_bPreviewRunning && m_graph.m_pCapture &&
            change.strDeviceId == m_graph.m_pCapture->DeviceId())
            OnCameraLost(E_DEVICE_GONE);
        return;
    }
    // The same camera back, or another one: one start, with the usual retries.
    // Not while the window is closed or closing.
    if (!m_bPreviewRunning && isVisible())
        RestartStillGraph(PREVIEW_START_LIMIT_MS);
}

void CCameraDlg::OnCameraLost(HRESULT hrCause) {
    // Stopped, not left showing the last frame; the next camera to appear
    // starts the preview again.
    StopStillGraph();
    if (m_pPreviewStatus)
        m_pPreviewStatus->SetText(PreviewStatusText(-1, hrCause, m_graph));
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
