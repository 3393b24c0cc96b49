#pragma once
// The camera's settings dialog, as the camera's driver gives it: a picture
// page and a camera page of controls, every change applied to the camera at
// once and kept for that camera, a Default button, and the controls following
// the driver while it changes them (an auto mode at work).

#include "capture/media_graph.h"
#include "capture/still_graph.h"

#include <QDialog>

#include <memory>
#include <vector>

// Where the dialog opens, from the main window's top-left corner.
constexpr int PROPERTIES_X = 30;
constexpr int PROPERTIES_Y = 30;

class CCameraControlPage;
class QLabel;

class CCameraPropertiesDlg final : public QDialog {
    Q_OBJECT

public:
    // Titled with the camera's name; a page only where the camera has
    // controls of its kind.
    CCameraPropertiesDlg(QWidget* parent, const QString& title,
                         std::shared_ptr<ICameraControls> controls);
    ~CCameraPropertiesDlg() override;

private:
    // Applies a value, says why when the camera refuses it, and shows what
    // every control holds now: a refused value springs back, and an auto
    // mode switched on or off enables or disables its manual control.
    void Change(DWORD nId, int nValue);
    void RestoreDefaults();
    void Refresh();

    std::shared_ptr<ICameraControls> m_pControls;
    std::vector<CCameraControlPage*> m_pages;
    QLabel* m_pStatus = nullptr;
};

// The main window's handler for the properties button: does nothing without a
// running graph (m_pCapture null; so also without a camera) or when the camera
// has no settings; otherwise shows the dialog modally at (30, 30) from
// parentWindow (centred on it on Wayland) and returns when it is closed.
//
// The devices are never listed again here: probing them while a PipeWire
// stream of this process runs leaves the PipeWire plugin with proxies to freed
// devices, and the process crashes at the next restart or unplug. The running
// graph's camera answers the question "is there a camera".
void ShowCameraProperties(QWidget* parentWindow, const StillGraph& graph);
