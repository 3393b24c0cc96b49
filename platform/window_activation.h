#pragma once
// Bringing a window to the front at another program's request, past the
// focus-stealing prevention of the desktop: the request carries the tokens
// the user's launch produced (see activation_tokens.h).

#include "platform/activation_tokens.h"

class QWindow;

// Raises and activates the window. On Wayland the xdg-activation token is
// handed to the compositor (Qt reads it from the environment when it asks for
// the activation). On X11 the window manager is sent _NET_ACTIVE_WINDOW as an
// application's request (source indication 1) with the time of the user's
// action from the startup id, and the window stays above all others for a
// moment, then goes back to being an ordinary window; the launch the startup
// id names is then reported complete to the launcher. Without a token the
// request goes out as Qt makes it.
void BringWindowToFront(QWindow* window, const ActivationTokens& tokens);
