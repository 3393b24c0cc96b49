#include "platform/window_activation.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace {

// How long the window stays above all others after coming forward.
constexpr int ON_TOP_MS = 500;

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using XcbReplyPtr = std::unique_ptr<T, FreeReply>;

// The window on the X server: the connection Qt talks on, the window's id and
// its screen's root window, where requests to the window manager and to
// launchers go.
struct X11Window {
    xcb_connection_t* connection = nullptr;
    xcb_window_t xid = XCB_WINDOW_NONE;
    xcb_window_t root = XCB_WINDOW_NONE;
};

std::optional<X11Window> FindX11Window(QWindow* window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return std::nullopt;
    X11Window target{x11->connection(), static_cast<xcb_window_t>(window->winId())};
    const XcbReplyPtr<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(
        target.connection, xcb_get_geometry(target.connection, target.xid), nullptr));
    if (!geometry)
        return std::nullopt;
    target.root = geometry->root;
    return target;
}

xcb_atom_t InternAtom(xcb_connection_t* connection, const char* name) {
    const XcbReplyPtr<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(strlen(name)), name),
        nullptr));
    return atom ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// _NET_ACTIVE_WINDOW as an application's request, with the time of the
// user's action; the window manager weighs that time against the user's
// latest input elsewhere.
bool SendNetActiveWindow(const X11Window& target, std::uint32_t nUserTime) {
    const xcb_atom_t type = InternAtom(target.connection, "_NET_ACTIVE_WINDOW");
    if (type == XCB_ATOM_NONE)
        return false;
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = target.xid;
    event.type = type;
    event.data.data32[0] = 1; // source indication: an application
    event.data.data32[1] = nUserTime;
    event.data.data32[2] = XCB_WINDOW_NONE; // none of ours is active
    xcb_send_event(target.connection, 0, target.root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    return true;
}

// The launcher that started the second start shows it as starting (a busy
// cursor, a task-bar entry) until someone says the launch is complete; the
// second start ends without a window, so the window it brought forward
// says it: the startup notification "remove" message, nul-terminated, in
// 20-byte pieces on the root window.
void SendStartupComplete(const X11Window& target, const QByteArray& startupId) {
    const xcb_atom_t begin = InternAtom(target.connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = InternAtom(target.connection, "_NET_STARTUP_INFO");
    if (begin == XCB_ATOM_NONE || more == XCB_ATOM_NONE)
        return;
    QByteArray message("remove: ID=\"");
    for (const char c : startupId) {
        if (c == '"' || c == '\\')
            message += '\\';
        message += c;
    }
    message += '"';
    message += '\0';
    for (qsizetype at = 0; at < message.size(); at += 20) {
        xcb_client_message_event_t event = {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = target.xid;
        event.type = at == 0 ? begin : more;
        memcpy(event.data.data8, message.constData() + at,
               static_cast<size_t>(std::min<qsizetype>(20, message.size() - at)));
        xcb_send_event(target.connection, 0, target.root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char*>(&event));
    }
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
    const std::optional<X11Window> x11 =
        QGuiApplication::platformName() == QLatin1String("xcb") ? FindX11Window(window)
                                                                 : std::nullopt;
    if (!x11) {
        window->requestActivate();
        return;
    }
    KeepOnTopForAMoment(window);
    const auto nUserTime = StartupIdTime(tokens.startupId);
    if (!nUserTime || !SendNetActiveWindow(*x11, *nUserTime))
        window->requestActivate();
    if (!tokens.startupId.isEmpty())
        SendStartupComplete(*x11, tokens.startupId);
    xcb_flush(x11->connection);
}
