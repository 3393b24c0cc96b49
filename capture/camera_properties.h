#pragma once
// The camera's settings dialog: one row per control of the running camera,
// every change applied to the camera at once, nothing stored.

#include "capture/media_graph.h"
#include "capture/still_graph.h"

#include <QDialog>

#include <map>
#include <memory>

// Where the dialog opens, from the main window's top-left corner.
constexpr int PROPERTIES_X = 30;
constexpr int PROPERTIES_Y = 30;

class CCameraPropertiesDlg final : public QDialog {
    Q_OBJECT

public:
    // Titled with the camera's name; one slider, check box or list per control.
    CCameraPropertiesDlg(QWidget* parent, const QString& title,
                         std::shared_ptr<ICameraControls> controls);

private:
    void AddRow(const CameraControl& control, class QFormLayout* form);
    // Applies a value, says why when the camera refuses it, and shows what
    // every control holds now: a refused value springs back, and an auto
    // mode switched on or off enables or disables its manual controls.
    void Change(DWORD nId, int nValue);
    void Refresh();

    // One control's editor and, for a slider, the label showing its value.
    struct Row {
        QWidget* pEditor = nullptr;
        class QLabel* pValue = nullptr;
    };
    static void ShowControl(const Row& row, const CameraControl& control);
    std::shared_ptr<ICameraControls> m_pControls;
    std::map<DWORD, Row> m_rows;
    class QLabel* m_pStatus = nullptr;
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
