// The main window's side of the capture engine: the graph, the preview's
// start and stop, the resolution menu, camera presence and the camera's
// controls. The work is in capture/; these calls lend it the window's state.

#include "app/camera_dlg.h"

#include "capture/camera_properties.h"
#include "capture/preview_control.h"
#include "platform/device_ids.h"

HRESULT CCameraDlg::InitStillGraph() {
    return ::InitStillGraph(*m_pGraphService, m_graph, m_btnResolution.m_nResolution,
                            &m_stcVideoHost, this);
}

void CCameraDlg::StopStillGraph() {
    ::StopStillGraph(m_graph);
}

int CCameraDlg::RestartStillGraph(DWORD limitMs) {
    if (!m_pGraphService)
        return -1;
    return ::RestartStillGraph(*m_pGraphService, m_graph, m_btnResolution.m_nResolution,
                               &m_stcVideoHost, this, limitMs);
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
    if (m_pGraphService)
        ::ShowCameraProperties(this, *m_pGraphService, m_graph);
}
