// The strip's drawing, scrolling and mouse handling on the window's state.
#include "library/photo_library.h"

#include "library/strip_selection.h"

#include <QScopedValueRollback>
#include <QScrollBar>

void CPhotoLibrary::RenderThumbnailStrip() {
    m_thumbnails.Render(m_strip, m_hooks.view);
}

void CPhotoLibrary::UpdateScrollRange() {
    // A new range can move the bar's value on the way to m_nFirstVisible;
    // that is not the user scrolling.
    const QScopedValueRollback settingBar(m_bSettingBar, true);
    ::UpdateScrollRange(m_strip, m_hooks.scrollBar);
}

void CPhotoLibrary::UpdateDeleteButton() {
    if (m_hooks.updateDeleteButton)
        m_hooks.updateDeleteButton();
}

void CPhotoLibrary::OnHScroll(QAbstractSlider::SliderAction action) {
    // actionTriggered comes before the bar applies the action: value() is
    // still the old position and sliderPosition() the one the action asks for.
    const int given = m_hooks.scrollBar ? m_hooks.scrollBar->sliderPosition() : 0;
    OnHScrollCode(ScrollCodeForAction(action), given);
}

void CPhotoLibrary::OnHScrollCode(int code, int position) {
    QScrollBar* bar = m_hooks.scrollBar;
    const int p = bar ? bar->value() : m_strip.m_nFirstVisible;
    const int next = ScrollPositionFor(m_strip, code, p, position);
    m_strip.m_nFirstVisible = next;
    if (bar) {
        const QScopedValueRollback settingBar(m_bSettingBar, true);
        // Inside actionTriggered the bar takes sliderPosition() as its value
        // once the signal returns, so both are set.
        bar->setSliderPosition(next);
        bar->setValue(next);
    }
    RenderThumbnailStrip();
}

void CPhotoLibrary::OnScrollValueChanged(int value) {
    // Set on the bar without an action: its own menu's "Scroll here" does
    // that, as does an assistive tool setting the value. The strip follows
    // as it follows a thumb released there.
    if (!m_bSettingBar && value != m_strip.m_nFirstVisible)
        OnHScrollCode(SB_THUMBPOSITION, value);
}

int CPhotoLibrary::ClickedPhoto(std::uint32_t packedPoint) const {
    const int slot = HitTestSlot(m_strip, packedPoint);
    if (slot < 0 || slot >= m_strip.m_nSlots)
        return -1;
    const int index = slot + m_strip.m_nFirstVisible;
    return index < m_strip.m_nPhotoCount ? index : -1;
}

void CPhotoLibrary::OnThumbClick(unsigned flags, std::uint32_t packedPoint) {
    SelectPhoto(ClickedPhoto(packedPoint), flags);
}

void CPhotoLibrary::SelectPhoto(int index, unsigned flags) {
    if (index >= 0 && index < m_strip.m_nPhotoCount) {
        ClickPhoto(m_strip, index, flags);
        RenderThumbnailStrip();
    }
    UpdateDeleteButton();
}

void CPhotoLibrary::OnThumbDoubleClick(std::uint32_t packedPoint) {
    OpenPhoto(ClickedPhoto(packedPoint));
}

void CPhotoLibrary::OpenPhoto(int index) {
    if (index < 0 || index >= m_strip.m_nPhotoCount)
        return;
    m_strip.m_nAnchor = index;
    RenderThumbnailStrip();
    m_hooks.openFile(m_strip.m_pPhotos[index].szPath);
}
