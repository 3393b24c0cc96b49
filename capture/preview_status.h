#pragma once
// The one line the preview host shows while it has no live picture: why there
// is none. Centred, light grey on the host's black, over the whole host.

#include "capture/still_graph.h"

#include <QLabel>

// The line for the outcome of a preview start: nResult as RestartStillGraph
// returned it, hrLast the result of its last attempt, graph what that attempt
// left, in the system's language. Empty when the preview runs or the cause is
// none of these: no camera, the camera busy, gone or silent.
const char* PreviewStatusText(int nResult, HRESULT hrLast, const StillGraph& graph);

class CPreviewStatus final : public QLabel {
    Q_OBJECT

public:
    // A child of host that follows its size; hidden until a text is set.
    explicit CPreviewStatus(QWidget* host);
    // Shows the line, or hides it for an empty text.
    void SetText(const char* text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
