#pragma once
// The main window: the hub that owns the program's state and routes every
// event to the operations that act on it. The rules live in their subsystems
// and take this state explicitly; the methods here wire them to the window.

#include "app/keyboard_navigation.h"
#include "app/registry_access.h"
#include "capture/camera_presence.h"
#include "capture/media_graph.h"
#include "capture/resolution_menu.h"
#include "capture/still_graph.h"
#include "library/photo_buffers.h"
#include "library/photo_library.h"
#include "library/strip_state.h"
#include "platform/power_events.h"
#include "platform/single_instance.h"
#include "platform/win_types.h"
#include "ui/key_forward_controls.h"
#include "ui/resolution_button.h"
#include "ui/skin_accessible.h"
#include "ui/skin_button.h"

#include <QAbstractSlider>
#include <QDialog>
#include <QIcon>
#include <QTimer>

#include <memory>
#include <string>

class IDeviceIdList;

// The pictures folder path without a trailing separator: the settings value
// name of the photo counter.
extern std::string g_strPicturesPath;

constexpr int TIMER_FOLDER_POLL = 3;
constexpr int FOLDER_POLL_MS = 2000;
constexpr UINT SC_ABOUT_FAMILY = 0x0010;

class CCameraDlg : public QDialog,
                   public CRegistryAccess,
                   public StripState,
                   public LibraryMembers,
                   public IResolutionOwner,
                   public IStripKeyActions,
                   public ISkinWindowAccess {
    Q_OBJECT

public:
    explicit CCameraDlg(QWidget* parent = nullptr);
    ~CCameraDlg() override;

    // False when the photo records or the picture work buffer could not be
    // allocated (the user has been told); the window must not run then.
    bool HasBuffers() const { return m_pPhotos && m_pDecodeBuffer; }

    // The window's life: the single-instance check, the start-up sequence,
    // the modal loop, the teardown.
    int DoModal();
    BOOL OnCreate();
    BOOL OnInitDialog();
    void OnClose();
    void DestroyWindow();
    void OnDestroy();

    // The control with id nID, or null when the window has none.
    QWidget* GetDlgItem(int nID) const;

    // Skin and layout.
    void LayoutControls();
    void UpdateDeleteButton() override;
    void OnPaint();
    void OnMouseMove(Qt::MouseButtons nFlags, QPoint point);
    // The command of a control (a skin button's click): nCode STN_CLICKED.
    void OnCommand(int nID, int nCode);
    void OnSysCommand(UINT nID);

    // Settings.
    void LoadCapTimes();
    void SaveCapTimes();

    // Photo library.
    void RenderThumbnailStrip() override;
    void UpdateScrollRange();
    void RebuildPhotoList(int nMode);
    void FolderCheck();
    void OnHScroll(QAbstractSlider::SliderAction action);
    void OnSnapshotButton();
    void OnSnapshotReady();
    void OnDeleteButton() override;

    // Capture.
    HRESULT InitStillGraph();
    void StopStillGraph() override;
    int RestartStillGraph(DWORD limitMs) override;
    void PlacePreviewControl() override;
    int GetResolution() const override;
    void SetResolutionAndShowImage(int nResolution) override;
    void OnResolutionButton();
    void OnResolutionCommand(UINT nID);
    int IsCameraPresent(const char* id);
    int PreloadCameraPresence();
    void ShowCameraProperties();
    // Follows cameras that come and go: a lost running camera stops the
    // preview; a new camera, or the camera in use leaving the list while
    // others may be left, asks for one start attempt.
    void WatchCameras();
    void OnCameraChange(const DeviceChange& change);
    // The running camera was unplugged or ended its stream with a device
    // error: the preview stops and the line says why (hrCause E_DEVICE_GONE
    // or E_DEVICE_BUSY) until a camera gives a picture again.
    void OnCameraLost(HRESULT hrCause);
    // One start attempt, never the retry loop, made at once or, while a menu,
    // question or dialog of the window runs, as soon as it has ended.
    void RequestCameraStart();

    // Keyboard.
    BOOL PreTranslateMessage(UINT message, WPARAM wParam);
    void SetStripScrollPos(int nPos) override;

    // Screen readers and the keyboard path beside the strip's keys.
    QString ControlName(int nID) const override;
    QString StripName() const override;
    int StripPhotoCount() const override;
    QString SlotPhotoName(int nSlot) const override;
    bool SlotSelected(int nSlot) const override;
    void OpenSlotPhoto(int nSlot) override;
    void DescribeControls();
    // The resolution menu, a popup of the window, named for screen readers
    // before it first shows.
    void NameChildPopup(QObject* child);
    void SetUpFocusChain();
    // Space and Enter while the strip has the focus; true when taken.
    bool OnStripFocusKey(int qtKey);

    // Single instance and power.
    void OnActivateMsg(const ActivationTokens& tokens);
    void OnPowerBroadcast(UINT nEvent);

    // The running capture graph: m_graph.m_pGraph, m_pCapture, m_pGrabber.
    std::unique_ptr<IMediaGraphService> m_pGraphService;
    StillGraph m_graph;
    bool m_bPreviewRunning = false;                   // the last start succeeded, no stop since
    class CPreviewStatus* m_pPreviewStatus = nullptr; // child of m_stcVideoHost
    // Why the camera in use was lost (S_OK: it was not), and its device id,
    // kept until a picture runs again.
    HRESULT m_hrCameraLost = S_OK;
    std::string m_strLostCameraId;
    bool m_bCameraStartPending = false;   // RequestCameraStart waits for a modal loop
    QTimer m_cameraStartTimer;            // looks again whether that loop has ended
    ResolutionMenuState m_resolutionMenu; // m_bMenuShowing, m_rcResolutionButton
    RECT m_rcScrollBar = {};              // strip scroll bar, client coordinates
    std::unique_ptr<CSingleInstance> m_mutex;
    // What this process was launched with; a second start passes it on.
    ActivationTokens m_launchTokens;
    int m_bPrimaryInstance = 0;
    DevicePresenceTable m_presence = {};
    std::unique_ptr<IDeviceIdList> m_pDeviceIds;
    PhotoRecordsPtr m_photoRecords; // owns m_pPhotos
    DecodeBufferPtr m_decodeBuffer; // owns m_pDecodeBuffer
    std::unique_ptr<CPhotoLibrary> m_pLibrary;
    CPowerEvents m_powerEvents;
    int m_nFolderPollTimer = 0; // Qt's id of TIMER_FOLDER_POLL

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
    CStripAccessObject* m_pStripAccess = nullptr; // child of the window
    class CFocusMark* m_pFocusMark = nullptr;     // child of the window

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void MeasureStripGeometry();
    void LoadSkinBitmaps();
    void CreatePhotoLibrary();
    void FreePhotoRecords();
    void WatchKeys();
    void StartRequestedCamera();
    bool InModalLoop() const;
    // The line, the running flag and the loss report after a start.
    void ShowStartOutcome(int nResult, HRESULT hrLast);
};
