#include "capture/pipewire_connection.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Where the daemon listens, found the way its client library finds it.
std::string DaemonSocketPath() {
    const char* remote = std::getenv("PIPEWIRE_REMOTE");
    const std::string name = remote && *remote ? remote : "pipewire-0";
    if (name[0] == '/')
        return name;
    for (const char* variable : {"PIPEWIRE_RUNTIME_DIR", "XDG_RUNTIME_DIR"}) {
        const char* dir = std::getenv(variable);
        if (dir && *dir)
            return std::string(dir) + "/" + name;
    }
    return {};
}

} // namespace

std::unique_ptr<CPipeWireConnection> CPipeWireConnection::Open() {
    const std::string path = DaemonSocketPath();
    sockaddr_un address{};
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return nullptr;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (fd.Get() < 0)
        return nullptr;
    if (connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return nullptr;
    return std::unique_ptr<CPipeWireConnection>(new CPipeWireConnection(std::move(fd)));
}
