#include "capture/preview_status.h"

#include "platform/language_id.h"
#include "platform/localized_texts.h"

#include <QEvent>
#include <QPalette>

const char* PreviewStatusText(int nResult, HRESULT hrLast, const StillGraph& graph) {
    if (nResult == 0)
        return "";
    if (hrLast == E_DEVICE_BUSY)
        return LocalizedText(TextId::CameraBusy, GetSystemDefaultLangID());
    if (hrLast == E_DEVICE_GONE)
        return LocalizedText(TextId::CameraGone, GetSystemDefaultLangID());
    // Listed but never started: a PipeWire node nobody links, a camera whose
    // first frame never came.
    if (hrLast == E_START_TIMEOUT)
        return LocalizedText(TextId::CameraSilent, GetSystemDefaultLangID());
    // A failed attempt keeps what it built: a graph without a camera in it
    // means none was found.
    if (graph.m_pGraph && !graph.m_pCapture)
        return LocalizedText(TextId::NoCamera, GetSystemDefaultLangID());
    return "";
}

CPreviewStatus::CPreviewStatus(QWidget* host) : QLabel(host) {
    setObjectName("previewStatus");
    setAlignment(Qt::AlignCenter);
    // Clicks and keys belong to the host below.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, QColor(192, 192, 192));
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
    // Black behind the text: the host may show a skin picture where the
    // video goes.
    setAutoFillBackground(true);
    hide();
    if (host) {
        setGeometry(host->rect());
        host->installEventFilter(this);
    }
}

void CPreviewStatus::SetText(const char* text) {
    const bool show = text && *text;
    setText(show ? QString::fromUtf8(text) : QString());
    setVisible(show);
    if (show)
        raise();
}

bool CPreviewStatus::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(static_cast<QWidget*>(watched)->rect());
    return QLabel::eventFilter(watched, event);
}
