#pragma once
// The proof of a user's request that a launcher hands a program it starts,
// so that the desktop lets the program's window come forward: on Wayland an
// xdg-activation token (XDG_ACTIVATION_TOKEN), on X11 a startup notification
// id (DESKTOP_STARTUP_ID) ending in "_TIME" and the X time of the user's
// action. A second start carries them to the running instance, whose window
// is the one to come forward.

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <optional>

struct ActivationTokens {
    QByteArray xdgActivation; // empty: none
    QByteArray startupId;     // empty: none

    bool operator==(const ActivationTokens&) const = default;
};

// The tokens this process was started with. Read before the Qt application
// exists: its X11 platform takes DESKTOP_STARTUP_ID out of the environment.
ActivationTokens LaunchActivationTokens();

// The tokens as fields of the activation message ("NAME=value", without
// separators), and back. A field that is not one of the two names, or whose
// value holds anything but printable ASCII, is dropped: the activation still
// happens, without that token.
QList<QByteArray> ActivationTokenFields(const ActivationTokens& tokens);
ActivationTokens ActivationTokensFromFields(const QList<QByteArray>& fields);

// The X time of the user's action from a startup id "..._TIME<decimal>";
// none when the id carries no valid one.
std::optional<std::uint32_t> StartupIdTime(const QByteArray& startupId);
