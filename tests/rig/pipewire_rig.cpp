#include "tests/rig/pipewire_rig.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int ElapsedMs(Clock::time_point since) {
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

bool WaitUntil(int timeoutMs, const auto& done) {
    const auto start = Clock::now();
    while (!done()) {
        if (ElapsedMs(start) > timeoutMs)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// The environment of a child: ours with the overrides replacing same-named
// entries. Built before fork, because the child may only make
// async-signal-safe calls.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& overrides) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string key = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const std::string& o : overrides)
            replaced = replaced || o.compare(0, key.size() + 1, key + "=") == 0;
        if (!replaced)
            env.push_back(entry);
    }
    env.insert(env.end(), overrides.begin(), overrides.end());
    return env;
}

std::vector<char*> CStrings(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

// fork + execvp with stdout and stderr on outFd; the child dies with us.
pid_t ForkExec(std::vector<std::string> argv, std::vector<std::string> env, int outFd) {
    std::vector<char*> args = CStrings(argv);
    std::vector<char*> envp = CStrings(env);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(127);
    setpgid(0, 0);
    dup2(outFd, STDOUT_FILENO);
    dup2(outFd, STDERR_FILENO);
    execvpe(args[0], args.data(), envp.data());
    _exit(127);
}

} // namespace

void StopProcess(pid_t pid, int waitMs) {
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    int status = 0;
    const bool ended = WaitUntil(waitMs, [&] { return waitpid(pid, &status, WNOHANG) != 0; });
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
}

CPipeWireRig::CPipeWireRig(bool bSessionManager) {
    char pattern[] = "/tmp/vizor-pipewire-XXXXXX";
    if (!mkdtemp(pattern))
        return;
    m_strDir = pattern;
    chmod(m_strDir.c_str(), 0700);
    for (const char* sub : {"config", "state", "data"})
        mkdir((m_strDir + "/" + sub).c_str(), 0700);
    setenv("PIPEWIRE_RUNTIME_DIR", m_strDir.c_str(), 1);

    m_bus = Spawn(
        {"dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=" + BusAddress()}, {},
        "dbus.log");
    m_bSessionManager = bSessionManager;
    m_bReady = StartPipeWire();
}

bool CPipeWireRig::StartPipeWire() {
    m_pipewire = Spawn({"pipewire"}, {}, "pipewire.log");
    const bool up = WaitUntil(5000, [&] {
        struct stat st;
        return stat((m_strDir + "/pipewire-0").c_str(), &st) == 0 &&
               stat((m_strDir + "/bus").c_str(), &st) == 0;
    });
    return up && (!m_bSessionManager || StartSessionManager());
}

bool CPipeWireRig::StartSessionManager() {
    m_sessionManager =
        Spawn({"wireplumber"}, {"DBUS_SESSION_BUS_ADDRESS=" + BusAddress()}, "wireplumber.log");
    return m_sessionManager > 0;
}

// The daemon goes first, under cameras that still stream, as when it is
// restarted on an upgrade; the publishers are then of no use.
void CPipeWireRig::StopPipeWire() {
    StopProcess(std::exchange(m_sessionManager, 0));
    StopProcess(std::exchange(m_pipewire, 0));
    for (pid_t& pid : m_publishers)
        StopProcess(std::exchange(pid, 0));
}

bool CPipeWireRig::RestartPipeWire() {
    StopPipeWire();
    // A killed daemon leaves its socket behind: gone, it cannot pass for the
    // new daemon's in the wait for it.
    unlink((m_strDir + "/pipewire-0").c_str());
    return StartPipeWire();
}

CPipeWireRig::~CPipeWireRig() {
    StopPipeWire();
    StopProcess(std::exchange(m_bus, 0));
    unsetenv("PIPEWIRE_RUNTIME_DIR");
    if (!m_strDir.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_strDir, ignored);
    }
}

pid_t CPipeWireRig::Spawn(const std::vector<std::string>& argv,
                          const std::vector<std::string>& extraEnv,
                          const std::string& logName) const {
    std::vector<std::string> overrides = {
        "XDG_RUNTIME_DIR=" + m_strDir,
        "PIPEWIRE_RUNTIME_DIR=" + m_strDir,
        "XDG_CONFIG_HOME=" + m_strDir + "/config",
        "XDG_STATE_HOME=" + m_strDir + "/state",
        "XDG_DATA_HOME=" + m_strDir + "/data",
    };
    overrides.insert(overrides.end(), extraEnv.begin(), extraEnv.end());
    const int log =
        open((m_strDir + "/" + logName).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (log < 0)
        return -1;
    const pid_t pid = ForkExec(argv, ChildEnvironment(overrides), log);
    close(log);
    return pid;
}

int CPipeWireRig::Publish(const RigCamera& camera, int timeoutMs) {
    m_cameras.push_back(camera);
    m_publishers.push_back(0);
    const int index = static_cast<int>(m_cameras.size()) - 1;
    return StartPublisher(index, timeoutMs) ? index : -1;
}

bool CPipeWireRig::StartPublisher(int index, int timeoutMs) {
    const RigCamera& camera = m_cameras[index];
    std::string props = "props,media.class=Video/Source,node.description=" + camera.strName;
    if (!camera.strDevicePath.empty()) {
        props += ",api.v4l2.path=" + camera.strDevicePath +
                 ",object.path=v4l2:" + camera.strDevicePath + ",device.api=v4l2";
    }
    // gst-launch joins its arguments and parses them again: a value with a
    // blank is quoted inside the quoted structure.
    if (!camera.strDriver.empty())
        props += ",api.v4l2.cap.driver=\\\"" + camera.strDriver + "\\\"";
    // An encoded format is made from raw frames of the same size.
    const bool jpeg = camera.strCaps.rfind("image/jpeg", 0) == 0;
    std::vector<std::string> argv;
    if (camera.strCapsAfter.empty()) {
        argv = {"gst-launch-1.0", "-q", "videotestsrc", "pattern=" + camera.strPattern,
                "is-live=true",   "!"};
        if (jpeg)
            argv.insert(argv.end(), {"jpegenc", "!"});
        argv.insert(argv.end(), {camera.strCaps, "!", "pipewiresink", "mode=provide",
                                 "stream-properties=\"" + props + "\""});
    } else {
        // One description for the helper, which can reach its format filter.
        argv = {RIG_SWITCHING_CAMERA,
                "videotestsrc pattern=" + camera.strPattern + " is-live=true ! " +
                    (jpeg ? "jpegenc ! " : "") + "capsfilter name=format caps=\"" + camera.strCaps +
                    "\" ! pipewiresink mode=provide stream-properties=\"" + props + "\"",
                camera.strCapsAfter};
    }
    m_publishers[index] = Spawn(argv, {}, "camera" + std::to_string(index) + ".log");
    return m_publishers[index] > 0 && WaitListed(camera.strName, true, timeoutMs);
}

void CPipeWireRig::Unplug(int index) {
    if (index < 0 || index >= static_cast<int>(m_publishers.size()))
        return;
    StopProcess(std::exchange(m_publishers[index], 0));
}

bool CPipeWireRig::Replug(int index, int timeoutMs) {
    if (index < 0 || index >= static_cast<int>(m_publishers.size()) || m_publishers[index])
        return false;
    return StartPublisher(index, timeoutMs);
}

bool CPipeWireRig::Renegotiate(int index) {
    if (index < 0 || index >= static_cast<int>(m_publishers.size()) || !m_publishers[index] ||
        m_cameras[index].strCapsAfter.empty())
        return false;
    const std::string log = m_strDir + "/camera" + std::to_string(index) + ".log";
    if (kill(m_publishers[index], SIGUSR1) != 0)
        return false;
    // The publisher says so once its format filter holds the new format.
    return WaitUntil(5000, [&] {
        std::ifstream in(log);
        std::stringstream text;
        text << in.rdbuf();
        return text.str().find("switched to") != std::string::npos;
    });
}

bool CPipeWireRig::WaitListed(const std::string& name, bool present, int timeoutMs) const {
    return WaitUntil(timeoutMs, [&] {
        std::vector<std::string> names = ListedCameras();
        const bool listed = std::find(names.begin(), names.end(), name) != names.end();
        return listed == present;
    });
}

std::vector<std::string> CPipeWireRig::ListedCameras() const {
    // A listing of its own in a separate process: probing devices in the
    // process under test while it streams is exactly what must not happen.
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return {};
    const pid_t pid = ForkExec(
        {"gst-device-monitor-1.0", "Video/Source"},
        ChildEnvironment({"XDG_RUNTIME_DIR=" + m_strDir, "PIPEWIRE_RUNTIME_DIR=" + m_strDir}),
        pipeFds[1]);
    close(pipeFds[1]);
    std::string output;
    const auto start = Clock::now();
    char chunk[4096];
    for (;;) {
        pollfd fd{pipeFds[0], POLLIN, 0};
        const int left = 5000 - ElapsedMs(start);
        if (left <= 0 || poll(&fd, 1, left) <= 0)
            break;
        const ssize_t n = read(pipeFds[0], chunk, sizeof chunk);
        if (n <= 0)
            break;
        output.append(chunk, static_cast<std::size_t>(n));
    }
    close(pipeFds[0]);
    StopProcess(pid, 1000);

    std::vector<std::string> names;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t at = line.find("name  : ");
        if (at != std::string::npos)
            names.push_back(line.substr(at + 8));
    }
    return names;
}

std::string CPipeWireRig::Logs() const {
    std::string text;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(m_strDir, ignored)) {
        if (entry.path().extension() != ".log")
            continue;
        std::ifstream in(entry.path());
        std::stringstream body;
        body << in.rdbuf();
        text += "--- " + entry.path().filename().string() + "\n" + body.str();
    }
    return text;
}
