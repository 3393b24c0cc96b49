#include "app/camera_dlg.h"

#include "capture/frame_buffer.h"
#include "capture/gst_media_graph.h"
#include "capture/preview_control.h"
#include "library/stale_photo_files.h"
#include "platform/device_ids.h"
#include "platform/message_box.h"
#include "platform/pictures_folder.h"
#include "platform/trace.h"
#include "platform/window_placement.h"
#include "ui/dialog_template.h"
#include "ui/resource_ids.h"
#include "ui/skin_resources.h"

#include <sys/stat.h>

CCameraDlg::CCameraDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(APP_TITLE));
    // The program's own top-level window (listed in the task bar, not a
    // dialog of some other window), with a fixed frame: a caption and a close
    // button, no maximise or minimise box, no sizing border.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // Moves over the window's own area put the skin buttons back to idle.
    setMouseTracking(true);

    CreateTemplateControls(*this, [this](int nID) { return GetDlgItem(nID); });
    for (CImageStatic* button :
         {static_cast<CImageStatic*>(&m_btnResolution), static_cast<CImageStatic*>(&m_btnDelete),
          static_cast<CImageStatic*>(&m_btnProperties),
          static_cast<CImageStatic*>(&m_btnSnapshot)}) {
        connect(button, &CImageStatic::Command, this, &CCameraDlg::OnCommand);
    }

    DescribeControls();
    m_hIcon = LoadIconResource(IDI_MAIN);

    // The two large blocks. The record block comes from calloc: pages the
    // program never fills stay untouched.
    m_decodeBuffer = AllocateDecodeBuffer();
    m_pDecodeBuffer = m_decodeBuffer.get();
    m_photoRecords = AllocatePhotoRecords();
    m_pPhotos = m_photoRecords.get();
    if (!m_pPhotos || !m_pDecodeBuffer)
        ShowMessageBox({"Failed Allocated Image Buffer!\n", "", MB_OK, MessageBoxOwner::None});
}

CCameraDlg::~CCameraDlg() {
    // The strip controls post keys to g_pMainDlg; it must not outlive us.
    if (g_pMainDlg == this)
        g_pMainDlg = nullptr;
    // Whatever path ended the window, no frame may arrive after this point.
    // The graph stops first: until then BufferCB may read the owner.
    ::StopStillGraph(m_graph);
    if (g_grabberCallback.m_pOwner == this)
        g_grabberCallback.m_pOwner = nullptr;
}

int CCameraDlg::DoModal() {
    if (!OnCreate()) {
        OnDestroy();
        return QDialog::Rejected;
    }
    OnInitDialog();
    PlaceWindowOnScreen(*this);
    const int nResult = exec();
    DestroyWindow();
    OnDestroy();
    return nResult;
}

QWidget* CCameraDlg::GetDlgItem(int nID) const {
    auto* self = const_cast<CCameraDlg*>(this);
    switch (nID) {
    case IDC_PREVIEW_FRAME:
        return &self->m_stcPreviewFrame;
    case IDC_RESOLUTION:
        return &self->m_btnResolution;
    case IDC_LOGO:
        return &self->m_btnLogo;
    case IDC_DELETE:
        return &self->m_btnDelete;
    case IDC_PROPERTIES:
        return &self->m_btnProperties;
    case IDC_SNAPSHOT:
        return &self->m_btnSnapshot;
    case IDC_STRIP_SCROLL:
        return &self->m_sbStrip;
    case IDC_VIDEO_HOST:
        return &self->m_stcVideoHost;
    default:
        if (nID >= IDC_THUMB1 && nID <= IDC_THUMB7)
            return &self->m_stcThumb[nID - IDC_THUMB1];
        return nullptr;
    }
}

BOOL CCameraDlg::OnInitDialog() {
    setWindowIcon(m_hIcon);
    LayoutControls();
    // Brings up GStreamer once, the stand-in for the COM start-up.
    m_pGraphService = CreateGstMediaGraphService();
    WatchCameras();
    m_pDeviceIds = CreateUdevDeviceIdList();
    g_pMainDlg = this;

    m_szPicturesPath = GetPicturesFolder();
    m_strPhotoFolder = m_szPicturesPath + "/";
    struct stat st;
    if (stat(m_strPhotoFolder.c_str(), &st) != 0 && mkdir(m_strPhotoFolder.c_str(), 0777) != 0)
        Trace("photo folder %s not created", m_strPhotoFolder.c_str());
    // A photo temporary older than a minute is a dead write's; a younger one
    // may be another instance's at work (when the instance lock could not be
    // made), and is left to it.
    RemoveStalePhotoTemporaries(m_szPicturesPath);
    g_strPicturesPath = m_szPicturesPath;
    LoadCapTimes();

    g_grabberCallback.m_pOwner = this;
    g_grabberCallback.m_nWidth = 640;
    g_grabberCallback.m_nHeight = 480;

    MeasureStripGeometry();
    CreatePhotoLibrary();
    m_pLibrary->StartupScan();

    LoadSkinBitmaps();
    m_btnResolution.m_nResolution = RES_640X480;
    UpdateDeleteButton();
    m_nFolderPollTimer = startTimer(FOLDER_POLL_MS);
    PlacePreviewControl();
    if (RestartStillGraph(PREVIEW_START_LIMIT_MS) == -1)
        Trace("preview loop failed!!!");

    const DWORD zero = 0;
    WriteValue(HKEY_CURRENT_USER, "SOFTWARE\\OrvelCam", "WantDel", REG_DWORD, &zero, 4);
    WriteValue(HKEY_CURRENT_USER, "SOFTWARE\\OrvelCam", "WantDel2", REG_DWORD, &zero, 4);
    PreloadCameraPresence();
    LayoutControls();
    SetUpFocusChain();
    WatchKeys();
    return TRUE;
}

void CCameraDlg::MeasureStripGeometry() {
    // The preview frame sits at the client origin, so rectangles relative to
    // it are client coordinates, comparable with mouse positions.
    const QPoint origin = m_stcPreviewFrame.pos();
    auto relative = [&origin](const QWidget& control) {
        const QRect rc = control.geometry().translated(-origin);
        return RECT{rc.left(), rc.top(), rc.left() + rc.width(), rc.top() + rc.height()};
    };
    for (int k = 0; k < 7; ++k)
        m_rcSlot[k] = relative(m_stcThumb[k]);
    m_rcScrollBar = relative(m_sbStrip);
}

void CCameraDlg::OnCommand(int nID, int nCode) {
    if (nCode != STN_CLICKED)
        return;
    switch (nID) {
    case IDC_SNAPSHOT:
        OnSnapshotButton();
        break;
    case IDC_DELETE:
        OnDeleteButton();
        break;
    case IDC_RESOLUTION:
        OnResolutionButton();
        break;
    case IDC_PROPERTIES:
        ShowCameraProperties();
        break;
    default:
        break;
    }
}
