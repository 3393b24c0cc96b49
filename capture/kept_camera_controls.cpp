#include "capture/kept_camera_controls.h"

#include "capture/camera_control_model.h"
#include "platform/trace.h"

CKeptCameraControls::CKeptCameraControls(std::shared_ptr<ICameraControls> driver,
                                         CKeptCameraValues kept)
    : m_pDriver(std::move(driver)), m_kept(std::move(kept)) {
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(KEPT_VALUES_FLUSH_MS);
    QObject::connect(&m_flushTimer, &QTimer::timeout, [this] { Flush(); });
}

CKeptCameraControls::~CKeptCameraControls() {
    Flush();
}

HRESULT CKeptCameraControls::GetControls(std::vector<CameraControl>& controls) {
    return m_pDriver->GetControls(controls);
}

HRESULT CKeptCameraControls::SetControl(DWORD nId, int nValue) {
    const HRESULT hr = m_pDriver->SetControl(nId, nValue);
    if (FAILED(hr))
        return hr;
    std::vector<CameraControl> controls;
    if (FAILED(m_pDriver->GetControls(controls)))
        return hr;
    const CameraControl* control = FindControl(controls, nId);
    if (control && TakesValue(*control, control->nValue)) {
        m_pending[nId] = control->nValue;
        m_flushTimer.start();
    }
    return hr;
}

HRESULT CKeptCameraControls::RestoreDefaults() {
    m_flushTimer.stop();
    m_pending.clear();
    m_kept.Forget();
    return m_pDriver->RestoreDefaults();
}

void CKeptCameraControls::WatchChanges(std::function<void()> onChange) {
    m_pDriver->WatchChanges(std::move(onChange));
}

void CKeptCameraControls::Flush() {
    m_flushTimer.stop();
    m_kept.Keep(m_pending);
    m_pending.clear();
}

void CKeptCameraControls::ApplyKept() {
    const std::map<DWORD, int> kept = m_kept.Load();
    std::vector<CameraControl> controls;
    if (kept.empty() || FAILED(m_pDriver->GetControls(controls)))
        return;
    std::vector<DWORD> dropped;
    auto apply = [&](bool bAutoModes) {
        for (const auto& [id, value] : kept) {
            const CameraControl* control = FindControl(controls, id);
            const bool isAutoMode = control && control->nGoverns != 0;
            if (isAutoMode != bAutoModes)
                continue;
            if (!control || !TakesValue(*control, value)) {
                Trace("camera controls: kept value %d of %#x no longer offered", value, id);
                dropped.push_back(id);
                continue;
            }
            if (control->bInactive || control->nValue == value)
                continue;
            if (m_pDriver->SetControl(id, value) == E_INVALIDARG)
                dropped.push_back(id);
        }
    };
    apply(true);
    // The auto modes decide which manual controls are active now.
    if (SUCCEEDED(m_pDriver->GetControls(controls)))
        apply(false);
    m_kept.Drop(dropped);
}
