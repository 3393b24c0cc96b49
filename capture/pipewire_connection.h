#pragma once
// A connection of our own to the PipeWire daemon, given to each PipeWire camera
// source through its "fd" property. Without it the source shares the device
// provider's connection, and the PipeWire plugin then frees the proxies of the
// source's nodes twice: once when the node goes, again when the device monitor
// stops.

#include "platform/posix_handles.h"

#include <memory>

class CPipeWireConnection {
public:
    // Null when the daemon's socket cannot be reached; the camera is then
    // not opened.
    static std::unique_ptr<CPipeWireConnection> Open();

    int Fd() const { return m_fd.Get(); }

private:
    explicit CPipeWireConnection(UniqueFd fd) : m_fd(std::move(fd)) {}
    // The source connects through a duplicate; closing this closes only ours.
    UniqueFd m_fd;
};
