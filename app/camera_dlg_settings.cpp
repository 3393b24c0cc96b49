// The photo counter in the settings, keyed by the pictures folder path: each
// pictures location the user has had keeps its own counter.

#include "app/camera_dlg.h"

namespace {
constexpr const char* COUNTER_KEY = "SOFTWARE\\NV_VizorDesk";
}

std::string g_strPicturesPath;

void CCameraDlg::LoadCapTimes() {
    int nKind = 0;
    char szText[260];
    DWORD nNumber = 0;
    if (ReadValue(HKEY_CURRENT_USER, COUNTER_KEY, g_strPicturesPath, nKind, szText, sizeof szText,
                  nNumber)) {
        // A text value is accepted with the number left at 0; the next save
        // turns it into a number.
        m_nCapTimes = static_cast<int>(nNumber);
        return;
    }
    m_nCapTimes = 0;
    SaveCapTimes();
}

void CCameraDlg::SaveCapTimes() {
    const DWORD nValue = static_cast<DWORD>(m_nCapTimes);
    WriteValue(HKEY_CURRENT_USER, COUNTER_KEY, g_strPicturesPath, REG_DWORD, &nValue, 4);
}
