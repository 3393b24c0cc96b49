#include "capture/video_renderer.h"

#include "capture/painted_renderer.h"
#include "capture/video_surface.h"
#include "capture/wayland_renderer.h"
#include "capture/x11_image_renderer.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>

// Lives on the UI thread; the streaming thread posts to it, never to a widget,
// so a notice can arrive safely whatever happened to the preview host. It also
// watches the surface and its top-level window for what hides or moves the
// preview.
class CRendererEvents final : public QObject {
public:
    explicit CRendererEvents(CVideoRenderer* renderer) : m_pRenderer(renderer) {}
    bool event(QEvent* event) override {
        if (event->type() >= QEvent::User) {
            m_pRenderer->OnNotice(event->type());
            return true;
        }
        return QObject::event(event);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::WindowStateChange:
        case QEvent::ParentChange:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Expose:
            m_pRenderer->UpdateOnScreen();
            break;
        default:
            break;
        }
        return false;
    }

private:
    CVideoRenderer* m_pRenderer;
};

std::unique_ptr<CVideoRenderer> CVideoRenderer::Create() {
    // Painting through Qt would cost the UI thread a wake-up, a copy into the
    // backing store and, on X11, a round trip to the server for every frame:
    // where the session has a sink that draws by itself, it draws.
    const QString platform = QGuiApplication::platformName();
    std::unique_ptr<CVideoRenderer> renderer;
    if (platform == QLatin1String("xcb"))
        renderer = CreateX11ImageRenderer();
    else if (platform.startsWith(QLatin1String("wayland")))
        renderer = CreateWaylandRenderer();
    if (!renderer || !renderer->Build()) {
        renderer = CreatePaintedRenderer();
        if (!renderer->Build())
            return nullptr;
    }
    renderer->ApplyFrameSize();
    return renderer;
}

CVideoRenderer::CVideoRenderer() : m_pEvents(std::make_unique<CRendererEvents>(this)) {}

CVideoRenderer::~CVideoRenderer() {
    // The graph has stopped the pipeline: no streaming thread runs here now.
    // Deleting the event object drops a notice still queued for it.
    if (m_pWatchedWindow) {
        m_pWatchedWindow->removeEventFilter(m_pEvents.get());
        if (QWindow* handle = m_pWatchedWindow->windowHandle())
            handle->removeEventFilter(m_pEvents.get());
    }
    m_pEvents.reset();
    delete m_pSurface.data();
}

void CVideoRenderer::SetElements(GstElementPtr element, GstElementPtr sizeFilter) {
    m_pElement = std::move(element);
    m_pSizeFilter = std::move(sizeFilter);
}

void CVideoRenderer::SetSurface(CVideoSurface* surface) {
    m_pSurface = surface;
    m_pSurface->installEventFilter(m_pEvents.get());
}

void CVideoRenderer::PostNotice(QEvent::Type notice) {
    QCoreApplication::postEvent(m_pEvents.get(), new QEvent(notice));
}

void CVideoRenderer::ApplyGeometry() {
    if (m_pSurface)
        m_pSurface->setGeometry(m_nLeft, m_nTop, m_nWidth, m_nHeight);
}

// The frames the sink takes, at the window's size once it has one, so the one
// conversion upstream also scales.
void CVideoRenderer::ApplyFrameSize() {
    const GstCapsPtr caps = FrameCaps();
    g_object_set(m_pSizeFilter.get(), "caps", caps.get(), nullptr);
    // A running stream renegotiates to the new size.
    const GstPadPtr pad(gst_element_get_static_pad(m_pElement.get(), "sink"));
    gst_pad_push_event(pad.get(), gst_event_new_reconfigure());
}

// UI thread. Exposure is left out of m_bOnScreen: a widget is not told when
// its window is exposed again, and a sink held back on a stale answer would
// leave the preview frozen.
void CVideoRenderer::UpdateOnScreen() {
    QWidget* top = m_pSurface ? m_pSurface->window() : nullptr;
    if (top == m_pSurface)
        top = nullptr;
    if (top != m_pWatchedWindow) {
        if (m_pWatchedWindow) {
            m_pWatchedWindow->removeEventFilter(m_pEvents.get());
            if (QWindow* handle = m_pWatchedWindow->windowHandle())
                handle->removeEventFilter(m_pEvents.get());
        }
        m_pWatchedWindow = top;
        if (top) {
            top->installEventFilter(m_pEvents.get());
            // The window system's own window, for its exposure; made now if
            // the window has not been shown yet, as showing it would.
            top->createWinId();
            top->windowHandle()->installEventFilter(m_pEvents.get());
        }
    }
    m_bOnScreen.store(top && m_pSurface->isVisible() && !top->isMinimized(),
                      std::memory_order_relaxed);
    SurfaceChanged();
}

HRESULT CVideoRenderer::put_Owner(QWidget* owner) {
    if (!owner) {
        // Detached: hidden and no longer a child of the host.
        if (m_pSurface) {
            m_pSurface->hide();
            m_pSurface->setParent(nullptr);
        }
        return S_OK;
    }
    if (!m_pSurface)
        SetSurface(new CVideoSurface(CVideoSurface::Kind::Painted, nullptr, owner));
    else
        m_pSurface->setParent(owner);
    ApplyGeometry();
    m_pSurface->setVisible(m_bVisible);
    UpdateOnScreen();
    return S_OK;
}

HRESULT CVideoRenderer::put_Left(LONG left) {
    m_nLeft = left;
    ApplyGeometry();
    return S_OK;
}

HRESULT CVideoRenderer::put_Top(LONG top) {
    m_nTop = top;
    ApplyGeometry();
    return S_OK;
}

HRESULT CVideoRenderer::put_Width(LONG width) {
    if (width < 0)
        return E_INVALIDARG;
    m_nWidth = width;
    ApplyGeometry();
    ApplyFrameSize();
    return S_OK;
}

HRESULT CVideoRenderer::put_Height(LONG height) {
    if (height < 0)
        return E_INVALIDARG;
    m_nHeight = height;
    ApplyGeometry();
    ApplyFrameSize();
    return S_OK;
}

// The surface is always a child widget, which Qt clips by its siblings; a
// style without WS_CHILD asks for a top-level window it cannot be.
HRESULT CVideoRenderer::put_WindowStyle(LONG style) {
    return (style & WS_CHILD) ? S_OK : E_INVALIDARG;
}

HRESULT CVideoRenderer::put_Visible(LONG visible) {
    m_bVisible = visible != OAFALSE;
    // A window without an owner stays hidden: shown, it would be a top-level.
    if (m_pSurface && m_pSurface->parentWidget())
        m_pSurface->setVisible(m_bVisible);
    return S_OK;
}
