#pragma once
// One page of the camera settings dialog: a row per control with its name,
// its editor (slider with the value beside it, check box, list of the menu's
// entries, or a button) and, where an auto mode governs it, an Auto box. The
// page shows what the driver reports; what the user does goes to onChange.

#include "capture/media_graph.h"

#include <QWidget>

#include <functional>
#include <map>
#include <vector>

class QCheckBox;
class QGridLayout;
class QLabel;

class CCameraControlPage final : public QWidget {
    Q_OBJECT

public:
    // The page's controls, auto modes included; onChange(id, value) is told
    // every value the user picks.
    CCameraControlPage(QWidget* parent, const std::vector<CameraControl>& controls,
                       std::function<void(DWORD, int)> onChange);

    // Shows the values and states the driver reports now, without telling
    // onChange; controls not on this page are passed over.
    void ShowControls(const std::vector<CameraControl>& controls);

private:
    void AddRow(const CameraControl& control, const CameraControl* autoMode, QGridLayout* grid);
    QCheckBox* AddAutoBox(const CameraControl& autoMode);

    struct Row {
        QWidget* pEditor = nullptr;
        QLabel* pValue = nullptr;    // a slider's value
        QCheckBox* pAuto = nullptr;  // the auto mode beside the control
    };
    static void ShowControl(const Row& row, const CameraControl& control);

    std::function<void(DWORD, int)> m_onChange;
    std::map<DWORD, Row> m_rows;        // by control id
    std::map<DWORD, QCheckBox*> m_autos; // by auto mode id
    // The on and off values of each auto mode, by its id.
    std::map<DWORD, std::pair<int, int>> m_autoValues;
};
