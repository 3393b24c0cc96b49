// The keyboard path beside the strip's own keys: Tab and Shift+Tab move the
// focus over the four buttons and the strip, Space presses the focused button
// (the buttons do that themselves) and, in the focused strip, selects the
// photo in view when nothing is selected; Enter there opens the selected photo.
// While no control has the focus, every key does what it always did.

#include "app/camera_dlg.h"

#include "ui/focus_mark.h"

namespace {
constexpr int STRIP_CELLS = 7;
} // namespace

void CCameraDlg::SetUpFocusChain() {
    QWidget* chain[] = {&m_btnSnapshot, &m_btnDelete, &m_btnResolution, &m_btnProperties,
                        &m_stcThumb[0]};
    // Tab only: a click keeps the focus where it was, so the mouse's way
    // through the window is what it has always been.
    for (QWidget* control : chain)
        control->setFocusPolicy(Qt::TabFocus);
    for (int k = 1; k < STRIP_CELLS; ++k)
        m_stcThumb[k].setFocusPolicy(Qt::NoFocus);
    m_sbStrip.setFocusPolicy(Qt::NoFocus);
    for (std::size_t k = 0; k + 1 < std::size(chain); ++k)
        setTabOrder(chain[k], chain[k + 1]);

    if (!m_pFocusMark)
        m_pFocusMark = new CFocusMark(*this);
    // Each button alone; the strip as a whole, around all its cells.
    for (QWidget* button :
         {static_cast<QWidget*>(&m_btnSnapshot), static_cast<QWidget*>(&m_btnDelete),
          static_cast<QWidget*>(&m_btnResolution), static_cast<QWidget*>(&m_btnProperties)})
        m_pFocusMark->Mark(button, button->geometry());
    QRect strip;
    for (const CKeyForwardStatic& cell : m_stcThumb)
        strip |= cell.geometry();
    m_pFocusMark->Mark(&m_stcThumb[0], strip);

    // The window itself holds the focus until the user presses Tab: no ring
    // shows and the keys reach the window as before.
    setFocus(Qt::OtherFocusReason);
}

bool CCameraDlg::OnStripFocusKey(int qtKey) {
    if (!m_pLibrary || !m_stcThumb[0].hasFocus())
        return false;
    switch (qtKey) {
    case Qt::Key_Space:
        // The strip's first photo in view, as if clicked.
        if (m_nAnchor >= 0)
            return false;
        m_pLibrary->SelectPhoto(m_nFirstVisible, 0);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_nAnchor < 0)
            return false;
        m_pLibrary->OpenPhoto(m_nAnchor);
        return true;
    default:
        return false;
    }
}
