#pragma once
// A private PipeWire session for tests: the daemon, its session bus, its
// session manager and cameras published by GStreamer pipelines, all in a
// folder of their own. The process under test reaches it through
// PIPEWIRE_RUNTIME_DIR (set by the rig) and finds the cameras through its
// device monitor exactly as a desktop lists a PipeWire camera.
//
// Every process is started by the rig and stopped by its process id; each
// also gets SIGKILL when the test process dies, so a crashing test leaves
// nothing running.

#include <sys/types.h>

#include <string>
#include <vector>

// One published camera: a fixed picture in one fixed format, or in a second
// one after Renegotiate when strCapsAfter is set.
struct RigCamera {
    std::string strName;       // node.description, the name the device list shows
    std::string strDevicePath; // api.v4l2.path ("/dev/video2"), or empty
    std::string strPattern = "smpte";
    std::string strCaps = "video/x-raw,format=YUY2,width=640,height=480,framerate=30/1";
    std::string strCapsAfter;
    std::string strDriver; // api.v4l2.cap.driver, or empty
};

class CPipeWireRig {
public:
    // Starts the daemon, the bus and (unless told not to) the session
    // manager, and waits (bounded) until the daemon answers. Ready() tells
    // whether it came up. Without the session manager a camera is listed but
    // never linked: it never delivers a frame.
    explicit CPipeWireRig(bool bSessionManager = true);
    ~CPipeWireRig();
    CPipeWireRig(const CPipeWireRig&) = delete;
    CPipeWireRig& operator=(const CPipeWireRig&) = delete;

    bool Ready() const { return m_bReady; }
    // Starts the session manager of a rig made without one: the cameras
    // listed so far get linked from now on.
    bool StartSessionManager();
    const std::string& RuntimeDir() const { return m_strDir; }

    // Publishes the camera (plugs it in) and waits until a device listing
    // shows it. Returns its index for Unplug and Replug, or -1 when it did
    // not appear within timeoutMs.
    int Publish(const RigCamera& camera, int timeoutMs = 10000);
    // Stops the camera's pipeline: the node goes, its frames just stop.
    void Unplug(int index);
    // Publishes the same camera again.
    bool Replug(int index, int timeoutMs = 10000);
    // The camera changes to its strCapsAfter format while it streams; true
    // once its publisher has changed (bounded).
    bool Renegotiate(int index);

    // Stops the session manager and the daemon (the cameras with them) and
    // starts both again in the same folder; Replug publishes a camera anew.
    bool RestartPipeWire();

    // The names of the video sources a fresh device listing shows.
    std::vector<std::string> ListedCameras() const;
    // Text the rig's processes wrote, for a failing test's message.
    std::string Logs() const;

private:
    std::string BusAddress() const { return "unix:path=" + m_strDir + "/bus"; }
    pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv,
                const std::string& logName) const;
    bool WaitListed(const std::string& name, bool present, int timeoutMs) const;
    bool StartPublisher(int index, int timeoutMs);
    bool StartPipeWire();
    void StopPipeWire();

    std::string m_strDir;
    pid_t m_bus = 0;
    pid_t m_pipewire = 0;
    pid_t m_sessionManager = 0;
    bool m_bSessionManager = true;
    std::vector<RigCamera> m_cameras;
    std::vector<pid_t> m_publishers; // 0 while unplugged
    bool m_bReady = false;
};

// Sends SIGTERM, waits up to waitMs for the process to end, then SIGKILL.
void StopProcess(pid_t pid, int waitMs = 3000);
