#pragma once
// A connection of our own to the PipeWire daemon, given to each PipeWire camera
// source through its "fd" property. Without it the source shares the device
// provider's connection, and the PipeWire plugin then frees the proxies of the
// source's nodes twice: once when the node goes, again when the device monitor
// stops.

#include <memory>

class CPipeWireConnection {
public:
    // Null when the daemon's socket cannot be reached; the source then makes
    // its own connection the usual way.
    static std::unique_ptr<CPipeWireConnection> Open();
    ~CPipeWireConnection();
    CPipeWireConnection(const CPipeWireConnection&) = delete;
    CPipeWireConnection& operator=(const CPipeWireConnection&) = delete;

    int Fd() const { return m_nFd; }

private:
    explicit CPipeWireConnection(int fd) : m_nFd(fd) {}
    int m_nFd;
};
