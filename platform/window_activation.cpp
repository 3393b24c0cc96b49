#include "platform/window_activation.h"

#include "platform/trace.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

// How long the window stays above all others after coming forward.
constexpr int ON_TOP_MS = 500;

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using XcbReplyPtr = std::unique_ptr<T, FreeReply>;

// _NET_ACTIVE_WINDOW sent to the root window, as the window manager
// specification asks; FALSE when this is not an X11 session or the window
// is not known to the server.
bool SendNetActiveWindow(QWindow* window, std::uint32_t nUserTime) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return false;
    xcb_connection_t* connection = x11->connection();
    const auto xid = static_cast<xcb_window_t>(window->winId());
    static const char NAME[] = "_NET_ACTIVE_WINDOW";
    const XcbReplyPtr<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, sizeof NAME - 1, NAME), nullptr));
    const XcbReplyPtr<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, xid), nullptr));
    if (!atom || !geometry)
        return false;

    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = xid;
    event.type = atom->atom;
    event.data.data32[0] = 1; // source indication: an application
    event.data.data32[1] = nUserTime;
    event.data.data32[2] = XCB_WINDOW_NONE; // none of ours is active
    xcb_send_event(connection, 0, geometry->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
    return true;
}

void KeepOnTopForAMoment(QWindow* window) {
    // Already on top (a second request within the moment): the first
    // request's timer puts it back.
    if (window->flags() & Qt::WindowStaysOnTopHint)
        return;
    // On the native window, not the widget: a widget hides and re-creates
    // its window when its flags change; the X11 window only has its state
    // changed by the window manager.
    window->setFlag(Qt::WindowStaysOnTopHint, true);
    QTimer::singleShot(ON_TOP_MS, window,
                       [window] { window->setFlag(Qt::WindowStaysOnTopHint, false); });
}

} // namespace

void BringWindowToFront(QWindow* window, const ActivationTokens& tokens) {
    if (!window)
        return;
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        // Qt's Wayland platform takes the token from here and clears it.
        if (!tokens.xdgActivation.isEmpty())
            qputenv("XDG_ACTIVATION_TOKEN", tokens.xdgActivation);
        window->requestActivate();
        return;
    }
    window->raise();
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        KeepOnTopForAMoment(window);
        if (const auto nUserTime = StartupIdTime(tokens.startupId)) {
            if (SendNetActiveWindow(window, *nUserTime))
                return;
            Trace("_NET_ACTIVE_WINDOW not sent");
        }
    }
    window->requestActivate();
}
