#pragma once
// The main window: the hub that owns the program's state and routes every
// event to the operations that act on it.

#include "app/registry_access.h"
#include "library/strip_state.h"
#include "platform/win_types.h"
#include "ui/key_forward_controls.h"
#include "ui/resolution_button.h"
#include "ui/skin_button.h"

#include <QDialog>
#include <QIcon>

class CCameraDlg : public QDialog, public CRegistryAccess, public StripState {
    Q_OBJECT

public:
    explicit CCameraDlg(QWidget* parent = nullptr);
    ~CCameraDlg() override;

    // Initialises the window, then runs it modally until it is closed.
    int DoModal();
    // The start-up sequence, run once before the window is first shown.
    BOOL OnInitDialog();

    // The control with id nID, or null when the window has none.
    QWidget* GetDlgItem(int nID) const;

    // Places every control at its fixed pixel position and sizes the window.
    void LayoutControls();
    // The delete button is enabled exactly while a photo is selected.
    void UpdateDeleteButton();

    void OnPaint();
    void OnMouseMove(Qt::MouseButtons nFlags, QPoint point);
    // The command of a control (a skin button's click): nCode STN_CLICKED.
    void OnCommand(int nID, int nCode);

    // Handlers of the buttons' clicks.
    void OnSnapshotButton();
    void OnDeleteButton();
    void OnResolutionButton();
    void ShowCameraProperties();

    RECT m_rcScrollBar = {}; // strip scroll bar, client coordinates

    // Child controls, in the order they are bound to their ids.
    CImageStatic m_stcPreviewFrame;
    CResolutionButton m_btnResolution;
    CSkinButton m_btnLogo;
    CSkinButton m_btnDelete;
    CSkinButton m_btnProperties;
    CSkinButton m_btnSnapshot;
    CKeyForwardStatic m_stcThumb[7]; // slot k is control IDC_THUMB1 + k
    CKeyForwardScrollBar m_sbStrip;
    CImageStatic m_stcVideoHost;

    QIcon m_hIcon;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void MeasureStripGeometry();
    void LoadSkinBitmaps();
};
