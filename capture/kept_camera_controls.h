#pragma once
// A camera's controls as its driver keeps them: every value the user sets is
// kept for that camera and set again each time the camera starts; Default
// brings back the driver's defaults and forgets what was kept.

#include "capture/kept_camera_values.h"
#include "capture/media_graph.h"

#include <QTimer>

#include <map>
#include <memory>

class CKeptCameraControls final : public ICameraControls {
public:
    CKeptCameraControls(std::shared_ptr<ICameraControls> driver, CKeptCameraValues kept);
    // Writes what is not written yet.
    ~CKeptCameraControls() override;

    HRESULT GetControls(std::vector<CameraControl>& controls) override;
    // Applies the value and, when the driver takes it, keeps the value the
    // driver then reports (it may have moved it onto the control's step).
    // Kept values reach the file at the next Flush.
    HRESULT SetControl(DWORD nId, int nValue) override;
    std::string LastError() const override { return m_pDriver->LastError(); }
    HRESULT RestoreDefaults() override;
    void WatchChanges(std::function<void()> onChange) override;

    // Writes the values kept since the last flush. Runs by itself a moment
    // after the last change: a slider dragged across its range is one write,
    // not one per step.
    void Flush();

    // Sets the kept values on the camera, auto modes first so that the
    // manual values they govern are taken. A value the driver no longer
    // offers (another firmware, another range) is dropped from the store,
    // never forced into range; one it cannot take now (its auto mode is on,
    // the camera is busy) stays kept.
    void ApplyKept();

private:
    std::shared_ptr<ICameraControls> m_pDriver;
    CKeptCameraValues m_kept;
    std::map<DWORD, int> m_pending;
    QTimer m_flushTimer;
};

// How long after the last change the kept values are written.
constexpr int KEPT_VALUES_FLUSH_MS = 500;
