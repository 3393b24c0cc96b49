// The main window's side of the skin: layout, button images and painting.

#include "app/camera_dlg.h"

#include "library/strip_selection.h"
#include "ui/control_layout.h"
#include "ui/panel_painting.h"
#include "ui/resource_ids.h"

#include <QPainter>
#include <QPaintEvent>
#include <QStyle>

void CCameraDlg::LayoutControls() {
    ApplyControlLayout(*this, [this](int nID) { return GetDlgItem(nID); });
}

void CCameraDlg::LoadSkinBitmaps() {
    m_btnSnapshot.LoadBitmaps(IDB_SNAPSHOT_NORMAL, IDB_SNAPSHOT_HOVER, IDB_SNAPSHOT_PRESSED,
                              IDB_SNAPSHOT_DISABLED);
    m_btnDelete.LoadBitmaps(IDB_DELETE_NORMAL, IDB_DELETE_HOVER, IDB_DELETE_PRESSED,
                            IDB_DELETE_DISABLED);
    m_btnProperties.LoadBitmaps(IDB_PROPERTIES_NORMAL, IDB_PROPERTIES_HOVER, IDB_PROPERTIES_PRESSED,
                                IDB_PROPERTIES_DISABLED);
    m_btnLogo.LoadBitmaps(IDB_LOGO, IDB_LOGO, IDB_LOGO, -1);
    m_btnResolution.LoadBitmaps(IDB_RES640_NORMAL, IDB_RES640_HOVER, IDB_RES640_PRESSED,
                                IDB_RES320_NORMAL, IDB_RES320_HOVER, IDB_RES320_PRESSED,
                                IDB_RES1_3M_NORMAL, IDB_RES1_3M_HOVER, IDB_RES1_3M_PRESSED);
}

void CCameraDlg::UpdateDeleteButton() {
    if (m_nAnchor >= 0) {
        m_btnDelete.m_bDisabledLook = FALSE;
        m_btnDelete.setEnabled(true);
        m_btnDelete.ShowIdleImage();
    } else {
        // A disabled control gets no mouse input, so nothing can replace the
        // disabled picture until the button is enabled again.
        m_btnDelete.m_bDisabledLook = TRUE;
        m_btnDelete.ShowDisabledImage();
        m_btnDelete.setEnabled(false);
    }
}

void CCameraDlg::OnMouseMove(Qt::MouseButtons, QPoint) {
    // The only way a button loses its hover or pressed picture: the pointer
    // has reached the window's own area (a gap, the panel, a cell).
    m_btnSnapshot.ShowIdleImage();
    m_btnDelete.ShowIdleImage();
    m_btnProperties.ShowIdleImage();
    m_btnLogo.ShowIdleImage();
    m_btnResolution.ShowIdleImage();
}

void CCameraDlg::paintEvent(QPaintEvent*) {
    OnPaint();
}

void CCameraDlg::OnPaint() {
    QPainter painter(this);
    if (isMinimized()) {
        // Only the icon, centred; the window's background under it.
        painter.fillRect(rect(), palette().window());
        const int nIcon = style()->pixelMetric(QStyle::PM_LargeIconSize, nullptr, this);
        const int x = (width() - nIcon + 1) / 2;
        const int y = (height() - nIcon + 1) / 2;
        m_hIcon.paint(&painter, x, y, nIcon, nIcon);
        return;
    }
    // The background is already filled in the dialog colour. The panel and
    // the cells' frames are drawn whole on every paint; Qt keeps what lies
    // outside the area being repainted.
    DrawThumbnailPanel(painter, m_rcScrollBar, m_rcSlot[0]);
    bool bSelected[7];
    const int nSlots = SelectedSlots(*this, bSelected);
    DrawSlotFrames(painter, m_rcSlot, bSelected, nSlots);
}
