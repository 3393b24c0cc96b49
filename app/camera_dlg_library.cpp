// The main window's side of the photo library: the strip, the folder scan,
// snapshots and deletion. The work is in library/; these calls lend it the
// window's state and the few services only the window has.

#include "app/camera_dlg.h"

#include "library/jpeg_codec.h"
#include "ui/resource_ids.h"

void CCameraDlg::CreatePhotoLibrary() {
    LibraryHooks hooks;
    for (int k = 0; k < 7; ++k)
        hooks.view.cells[k] = &m_stcThumb[k];
    // The frames lie up to four pixels around the cells, on the window itself.
    hooks.view.repaintFrames = [this] {
        const QPoint origin = m_stcPreviewFrame.pos();
        update(QRect(QPoint(m_rcSlot[0].left - 4, m_rcSlot[0].top - 4) + origin,
                     QPoint(m_rcSlot[6].right + 3, m_rcSlot[6].bottom + 3) + origin));
        // Every drawing of the strip: what a screen reader hears follows it.
        if (m_pStripAccess)
            m_pStripAccess->StripChanged();
    };
    hooks.scrollBar = &m_sbStrip;
    hooks.updateDeleteButton = [this] { UpdateDeleteButton(); };
    hooks.storeCounter = [this](int) { SaveCapTimes(); };
    m_pLibrary = std::make_unique<CPhotoLibrary>(*this, *this, JpegFileCodec(), std::move(hooks));
    connect(&m_sbStrip, &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnHScroll(static_cast<QAbstractSlider::SliderAction>(action)); });
    connect(&m_sbStrip, &QAbstractSlider::valueChanged, this, [this](int value) {
        if (m_pLibrary)
            m_pLibrary->OnScrollValueChanged(value);
    });
}

void CCameraDlg::RenderThumbnailStrip() {
    if (m_pLibrary)
        m_pLibrary->RenderThumbnailStrip();
}

void CCameraDlg::UpdateScrollRange() {
    if (m_pLibrary)
        m_pLibrary->UpdateScrollRange();
}

void CCameraDlg::RebuildPhotoList(int nMode) {
    if (m_pLibrary)
        m_pLibrary->RebuildPhotoList(nMode);
}

void CCameraDlg::FolderCheck() {
    if (m_pLibrary)
        m_pLibrary->FolderCheck();
}

void CCameraDlg::OnHScroll(QAbstractSlider::SliderAction action) {
    if (m_pLibrary)
        m_pLibrary->OnHScroll(action);
}

void CCameraDlg::OnSnapshotButton() {
    if (m_pLibrary)
        m_pLibrary->OnSnapshotButton();
}

void CCameraDlg::OnSnapshotReady() {
    if (m_pLibrary)
        m_pLibrary->OnSnapshotReady();
}

void CCameraDlg::OnDeleteButton() {
    if (m_pLibrary)
        m_pLibrary->OnDeleteButton();
}

void CCameraDlg::SetStripScrollPos(int nPos) {
    m_sbStrip.setValue(nPos);
}

void CCameraDlg::FreePhotoRecords() {
    // Nothing may read the records once they are gone: the strip and the
    // walk see an empty list.
    m_nPhotoCount = 0;
    m_pPhotos = nullptr;
    m_photoRecords.reset();
}
