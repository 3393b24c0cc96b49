// What the main window tells a screen reader: the names of its controls in
// the system's language and what the strip shows.

#include "app/camera_dlg.h"

#include "capture/preview_status.h"
#include "capture/resolution_menu.h"
#include "platform/language_id.h"
#include "platform/localized_texts.h"
#include "platform/message_box.h"
#include "ui/resource_ids.h"

#include <QFile>
#include <QMenu>

#include <algorithm>

#include <cstring>

namespace {

QString Text(TextId id) {
    return QString::fromUtf8(LocalizedText(id, GetSystemDefaultLangID()));
}

// The label the resolution menu gives the current mode ("640x480", "1.3M").
QString ResolutionLabel(int nResolution) {
    for (const ResolutionMenuItem& item : RES_MENU_FULL_ITEMS) {
        if (ResolutionOfCommand(item.nCommand) == nResolution)
            return QString::fromLatin1(item.szLabel);
    }
    return QString();
}

} // namespace

void CCameraDlg::DescribeControls() {
    InstallSkinAccessibility();
    m_pStripAccess = new CStripAccessObject(*this, m_stcThumb, 7);
    m_sbStrip.setAccessibleName(Text(TextId::StripScroll));
}

void CCameraDlg::NameChildPopup(QObject* child) {
    // The window's only popup is the resolution menu.
    if (auto* menu = qobject_cast<QMenu*>(child))
        menu->setAccessibleName(Text(TextId::ResolutionMenu));
}

QString CCameraDlg::ControlName(int nID) const {
    switch (nID) {
    case IDC_SNAPSHOT:
        return Text(TextId::TakePhoto);
    case IDC_DELETE:
        return Text(TextId::DeletePhotos);
    case IDC_RESOLUTION:
        return Text(TextId::ResolutionName).arg(ResolutionLabel(m_btnResolution.m_nResolution));
    case IDC_PROPERTIES:
        return Text(TextId::CameraSettings);
    case IDC_LOGO:
        return QString::fromUtf8(APP_TITLE);
    case IDC_VIDEO_HOST:
        // What the host shows: the line that says why there is no picture,
        // or the picture.
        if (m_pPreviewStatus && m_pPreviewStatus->isVisible())
            return m_pPreviewStatus->text();
        return Text(TextId::LivePicture);
    default:
        return QString();
    }
}

QString CCameraDlg::StripName() const {
    return Text(TextId::PhotoStrip);
}

int CCameraDlg::StripPhotoCount() const {
    if (!m_pPhotos)
        return 0;
    return std::clamp(m_nPhotoCount - m_nFirstVisible, 0, m_nSlots);
}

QString CCameraDlg::SlotPhotoName(int nSlot) const {
    if (nSlot < 0 || nSlot >= StripPhotoCount())
        return QString();
    const char* path = m_pPhotos[m_nFirstVisible + nSlot].szPath;
    const char* name = std::strrchr(path, '/');
    return QFile::decodeName(name ? name + 1 : path);
}

bool CCameraDlg::SlotSelected(int nSlot) const {
    return nSlot >= 0 && nSlot < StripPhotoCount() && m_marks[m_nFirstVisible + nSlot] == 1;
}

void CCameraDlg::OpenSlotPhoto(int nSlot) {
    if (m_pLibrary && nSlot >= 0 && nSlot < StripPhotoCount())
        m_pLibrary->OpenPhoto(m_nFirstVisible + nSlot);
}
