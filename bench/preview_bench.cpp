// Preview cost: process CPU of the running preview (camera, grabber tap,
// renderer) beside the floor, a bare gst-launch-1.0 pipeline that turns each
// camera frame once into host-size BGRx for a fakesink, measured in the same
// run:
// - the test camera (YUY2) at 640x480 and 1280x1024, with the time from
//   RestartStillGraph to the first drawn frame beside the bare pipeline's
//   time to its first buffer;
// - a JPEG camera at 640x480 and 1280x1024 into the 640x480 host, both sides
//   reading the same pre-encoded frames, so encoding costs neither anything;
// - the preview with a snapshot taken every second, YUY2 and JPEG, with the
//   time from the press to the frame in the snapshot handler's hands.
// Every figure is the median of RUNS runs, ours and the floor taken in turn;
// a ratio is the median of the runs' own ratios.
// The renderer is the session's: ximagesink on an X display, waylandsink on a
// Wayland one, Qt painting on the offscreen platform. With --wayland (weston)
// or --mutter the program starts its own headless compositor and measures
// there.

#include "capture/frame_buffer.h"
#include "capture/gst_filters.h"
#include "capture/gst_media_graph.h"
#include "capture/gst_ptr.h"
#include "capture/preview_control.h"
#include "capture/resolution_menu.h"
#include "capture/video_surface.h"

#include <QApplication>
#include <QGuiApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <gst/gst.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <atomic>
#include <fstream>
#include <map>
#include <string>
#include <vector>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int WARMUP_MS = 1000;
constexpr int WINDOW_MS = 4000;
constexpr int RUNS = 5;
// Not a multiple of the 33.3 ms frame interval, and timed precisely: each
// press falls at another point between two frames, so the median wait for
// the next frame is not one phase's luck.
constexpr int SNAPSHOT_EVERY_MS = 1007;

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// CPU time of a process's running threads in seconds, by thread name (its
// digits dropped, so "videotestsrc3:src" of the fourth graph adds to that of
// the first), to the nanosecond: the scheduler's own account. utime and
// stime in ticks of 10 ms would put a step of 0.2 % of a core into a 5 s
// window.
using ThreadSeconds = std::map<std::string, double>;
ThreadSeconds ThreadCpuSeconds(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    ThreadSeconds seconds;
    DIR* dir = opendir(tasks.c_str());
    if (!dir)
        return seconds;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        const std::string task = tasks + "/" + entry->d_name;
        std::ifstream stat(task + "/schedstat");
        std::ifstream comm(task + "/comm");
        unsigned long long running = 0;
        std::string name;
        if (!(stat >> running) || !std::getline(comm, name))
            continue;
        name.erase(std::remove_if(name.begin(), name.end(), ::isdigit), name.end());
        seconds[name] += static_cast<double>(running) / 1e9;
    }
    closedir(dir);
    return seconds;
}

double ChildCpuSeconds(pid_t pid) {
    double sum = 0;
    for (const auto& [name, seconds] : ThreadCpuSeconds(pid))
        sum += seconds;
    return sum;
}

void RunEvents(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The floor: the camera's frames converted once to what the display paints.
std::string BarePipeline(int width, int height) {
    return "videotestsrc is-live=true ! video/x-raw,format=YUY2,width=" + std::to_string(width) +
           ",height=" + std::to_string(height) +
           ",framerate=30/1 ! videoconvert ! video/x-raw,format=BGRx ! fakesink name=sink "
           "sync=true";
}

// Pre-encoded JPEG frames played at 30 frames a second, as a camera sends
// them: the same on both sides. The container gives each frame its time,
// which the identity waits for.
std::string JpegSource(const std::string& file) {
    return "filesrc location=" + file + " ! avidemux ! identity sync=true";
}

// The JPEG floor: every frame decoded, converted and scaled once to the
// host's BGRx.
std::string BareJpegPipeline(const std::string& file) {
    return JpegSource(file) +
           " ! jpegdec ! videoconvertscale ! video/x-raw,format=BGRx,width=640,height=480 ! "
           "fakesink sync=false";
}

// CPU seconds per wall second of gst-launch-1.0 running a bare pipeline.
double BareCpu(const std::string& description) {
    const pid_t pid = fork();
    if (pid == 0) {
        execlp("sh", "sh", "-c", ("exec gst-launch-1.0 -q " + description + " >/dev/null").c_str(),
               static_cast<char*>(nullptr));
        _exit(127);
    }
    usleep(WARMUP_MS * 1000);
    const double start = ChildCpuSeconds(pid);
    usleep(WINDOW_MS * 1000);
    const double used = ChildCpuSeconds(pid) - start;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return used / (WINDOW_MS / 1000.0);
}

// Milliseconds from building the bare pipeline to the first buffer at its sink.
double BareFirstBufferMs(int width, int height) {
    struct Seen {
        QElapsedTimer timer;
        std::atomic<qint64> ms{-1};
    } seen;
    seen.timer.start();
    GError* rawError = nullptr;
    GstElementPtr pipeline(gst_parse_launch(BarePipeline(width, height).c_str(), &rawError));
    const GErrorPtr error(rawError);
    if (!pipeline) {
        std::fprintf(stderr, "bare pipeline: %s\n", error ? error->message : "?");
        return -1;
    }
    gst_object_ref_sink(pipeline.get());
    const GstElementPtr sink(gst_bin_get_by_name(GST_BIN(pipeline.get()), "sink"));
    g_object_set(sink.get(), "signal-handoffs", TRUE, nullptr);
    g_signal_connect(sink.get(), "handoff",
                     G_CALLBACK(+[](GstElement*, GstBuffer*, GstPad*, gpointer data) {
                         auto* s = static_cast<Seen*>(data);
                         qint64 none = -1;
                         s->ms.compare_exchange_strong(none, s->timer.nsecsElapsed() / 1000);
                     }),
                     &seen);
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    while (seen.ms.load() < 0 && seen.timer.elapsed() < 5000)
        usleep(1000);
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return static_cast<double>(seen.ms.load()) / 1000.0;
}

// Stands in for the main window: takes every snapshot frame the way the
// snapshot handler does and notes how long after the press it came.
class SnapshotTaker final : public QObject {
public:
    void Press() {
        m_press.start();
        ArmSnapshot("/tmp/");
    }
    bool event(QEvent* event) override {
        if (event->type() != SnapshotReadyEvent)
            return QObject::event(event);
        int syncDirStatus = 0;
        if (SnapshotFrame frame = TakeSnapshotFrame(syncDirStatus))
            pressToFrameMs.push_back(static_cast<double>(m_press.nsecsElapsed()) / 1e6);
        return true;
    }
    std::vector<double> pressToFrameMs;

private:
    QElapsedTimer m_press;
};

struct PreviewFigures {
    double cpu = 0;
    // CPU seconds per wall second of each thread that ran through the window.
    ThreadSeconds threads;
    double firstFrameMs = -1;
    double pressToFrameMs = -1;
};

PreviewFigures Preview(IMediaGraphService& service, int mode, int windowMs, bool bSnapshots) {
    QWidget window;
    window.resize(640, 600);
    QWidget host(&window);
    PlacePreviewControl(&host, mode);
    window.show();
    SnapshotTaker owner;
    StillGraph graph;
    PreviewFigures figures;
    // The window's own first paint is not part of the preview's start.
    RunEvents(200);

    QElapsedTimer timer;
    QMetaObject::Connection painted;
    // The surface appears inside RestartStillGraph; catch its first paint.
    timer.start();
    if (RestartStillGraph(service, graph, mode, &host, &owner, PREVIEW_START_LIMIT_MS) != 0) {
        std::fprintf(stderr, "preview did not start\n");
        return figures;
    }
    if (auto* surface = host.findChild<CVideoSurface*>()) {
        painted = QObject::connect(surface, &CVideoSurface::framePainted, &owner, [&] {
            if (figures.firstFrameMs < 0)
                figures.firstFrameMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        });
    }
    while (figures.firstFrameMs < 0 && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);

    if (windowMs > 0) {
        RunEvents(WARMUP_MS);
        QTimer presses;
        if (bSnapshots) {
            QObject::connect(&presses, &QTimer::timeout, &owner, [&] { owner.Press(); });
            presses.setTimerType(Qt::PreciseTimer);
            presses.start(SNAPSHOT_EVERY_MS);
        }
        const double start = ProcessCpuSeconds();
        const ThreadSeconds threadsAtStart = ThreadCpuSeconds(getpid());
        RunEvents(windowMs);
        figures.cpu = (ProcessCpuSeconds() - start) / (windowMs / 1000.0);
        for (const auto& [name, seconds] : ThreadCpuSeconds(getpid())) {
            const auto before = threadsAtStart.find(name);
            const double used = seconds - (before == threadsAtStart.end() ? 0 : before->second);
            figures.threads[name] = used / (windowMs / 1000.0);
        }
        figures.pressToFrameMs = Median(owner.pressToFrameMs);
    }
    StopStillGraph(graph);
    return figures;
}

// JpegSource as a bin for the program's graph, linked by hand: the demuxer's
// pad appears only once it reads the file.
GstElementPtr JpegSourceBin(const std::string& file) {
    GstElementPtr bin(gst_bin_new(nullptr));
    gst_object_ref_sink(bin.get());
    GstElement* source = gst_element_factory_make("filesrc", nullptr);
    GstElement* demux = gst_element_factory_make("avidemux", nullptr);
    GstElement* pace = gst_element_factory_make("identity", nullptr);
    if (!source || !demux || !pace)
        return nullptr;
    g_object_set(source, "location", file.c_str(), nullptr);
    g_object_set(pace, "sync", TRUE, nullptr);
    gst_bin_add_many(GST_BIN(bin.get()), source, demux, pace, nullptr);
    gst_element_link(source, demux);
    g_signal_connect(demux, "pad-added", G_CALLBACK(+[](GstElement*, GstPad* pad, gpointer pace) {
                         const GstPadPtr sink(
                             gst_element_get_static_pad(static_cast<GstElement*>(pace), "sink"));
                         gst_pad_link(pad, sink.get());
                     }),
                     pace);
    const GstPadPtr src(gst_element_get_static_pad(pace, "src"));
    gst_element_add_pad(bin.get(), gst_ghost_pad_new("src", src.get()));
    return bin;
}

// A camera that sends the pre-encoded frames of JpegSource, offered by the
// program's own graph service in place of its device list.
class CPreEncodedCameraService final : public IMediaGraphService {
public:
    CPreEncodedCameraService(IMediaGraphService& real, std::string pattern, int width, int height)
        : m_real(real), m_strPattern(std::move(pattern)), m_nWidth(width), m_nHeight(height) {}

    HRESULT CreateVideoInputEnum(std::unique_ptr<IEnumMoniker>& devices) override {
        devices = std::make_unique<Devices>(*this);
        return S_OK;
    }
    std::unique_ptr<IFilterGraph> CreateFilterGraph() override {
        return m_real.CreateFilterGraph();
    }
    HRESULT CreateSampleGrabber(std::shared_ptr<ISampleGrabber>& grabber) override {
        return m_real.CreateSampleGrabber(grabber);
    }
    HRESULT CreateNullRenderer(std::shared_ptr<IBaseFilter>& renderer) override {
        return m_real.CreateNullRenderer(renderer);
    }
    HRESULT CreateCaptureGraphBuilder(std::unique_ptr<ICaptureGraphBuilder2>& builder) override {
        return m_real.CreateCaptureGraphBuilder(builder);
    }

private:
    struct Bag final : IPropertyBag {
        HRESULT Read(const char* name, std::string& value) override {
            value = std::string(name) == "CLSID" ? KSPROXY_CLSID : "Pre-encoded JPEG camera";
            return S_OK;
        }
    };
    struct Camera final : IMoniker {
        explicit Camera(const CPreEncodedCameraService& service) : m_service(service) {}
        HRESULT BindToStorage(std::shared_ptr<IPropertyBag>& bag) override {
            bag = std::make_shared<Bag>();
            return S_OK;
        }
        HRESULT BindToObject(std::shared_ptr<ICaptureFilter>& filter) override {
            const CPreEncodedCameraService& s = m_service;
            GstElementPtr source = JpegSourceBin(s.m_strPattern);
            GstCapsPtr caps(gst_caps_new_simple("image/jpeg", "width", G_TYPE_INT, s.m_nWidth,
                                                "height", G_TYPE_INT, s.m_nHeight, "framerate",
                                                GST_TYPE_FRACTION, 30, 1, nullptr));
            filter = CGstCaptureFilter::Create(std::move(source), std::move(caps),
                                               "Pre-encoded JPEG camera", CameraControlSource{});
            return filter ? S_OK : E_FAIL;
        }
        const CPreEncodedCameraService& m_service;
    };
    struct Devices final : IEnumMoniker {
        explicit Devices(const CPreEncodedCameraService& service) : m_service(service) {}
        HRESULT Reset() override {
            m_bListed = false;
            return S_OK;
        }
        HRESULT Next(std::shared_ptr<IMoniker>& device) override {
            if (m_bListed)
                return S_FALSE;
            m_bListed = true;
            device = std::make_shared<Camera>(m_service);
            return S_OK;
        }
        const CPreEncodedCameraService& m_service;
        bool m_bListed = false;
    };

    IMediaGraphService& m_real;
    std::string m_strPattern;
    int m_nWidth, m_nHeight;
};

// Nine seconds of SMPTE bars (their noise block differs in each frame) as
// JPEG frames in an AVI file in folder, longer than a run; its path.
std::string EncodeJpegFrames(const QString& folder, int width, int height) {
    const std::string file = folder.toStdString() + "/frames-" + std::to_string(width) + "x" +
                             std::to_string(height) + ".avi";
    const std::string command =
        "gst-launch-1.0 -q videotestsrc pattern=smpte num-buffers=270 ! video/x-raw,width=" +
        std::to_string(width) + ",height=" + std::to_string(height) +
        ",framerate=30/1 ! jpegenc ! avimux ! filesink location=" + file + " >/dev/null";
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "could not encode the JPEG frames\n");
    return file;
}

const char* RendererName() {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb"))
        return "ximagesink on X11";
    if (platform.startsWith(QLatin1String("wayland")))
        return "waylandsink on Wayland";
    return "Qt painting (offscreen)";
}

// One line: our CPU beside the floor's; then either the first frame beside
// the bare pipeline's first buffer, or the press-to-frame time.
struct Row {
    const char* label;
    IMediaGraphService* service;
    int mode;
    std::string floor;
    int width = 0, height = 0; // of the YUY2 floor, for its first buffer
    bool bSnapshots = false;
};

void RunRow(const Row& row) {
    std::vector<double> ours, oursFirst, bare, bareFirst, press;
    std::map<std::string, std::vector<double>> threads;
    for (int run = 0; run < RUNS; ++run) {
        const PreviewFigures figures = Preview(*row.service, row.mode, WINDOW_MS, row.bSnapshots);
        ours.push_back(figures.cpu);
        for (const auto& [name, cpu] : figures.threads)
            threads[name].push_back(cpu);
        oursFirst.push_back(figures.firstFrameMs);
        press.push_back(figures.pressToFrameMs);
        bare.push_back(BareCpu(row.floor));
        if (row.width > 0 && !row.bSnapshots)
            bareFirst.push_back(BareFirstBufferMs(row.width, row.height));
    }
    // The ratio is the median of each run's ours over the floor run just
    // after it: a machine that slows down or speeds up over the row moves
    // both sides of a pair alike.
    std::vector<double> ratios;
    for (int run = 0; run < RUNS; ++run) {
        if (bare[run] > 0)
            ratios.push_back(ours[run] / bare[run]);
    }
    std::printf("%-26s %6.1f%% %9.1f%% %6.2fx", row.label, Median(ours) * 100, Median(bare) * 100,
                Median(ratios));
    if (row.bSnapshots) {
        std::printf("   press to frame %.1fms\n", Median(press));
    } else if (!bareFirst.empty()) {
        const double first = Median(oursFirst), floorFirst = Median(bareFirst);
        std::printf(" %10.1fms %10.1fms %6.2fx\n", first, floorFirst,
                    floorFirst > 0 ? first / floorFirst : 0.0);
    } else {
        std::printf(" %10.1fms\n", Median(oursFirst));
    }
    // Where our figure goes: each thread's median, the busiest first, down to
    // a tenth of a percent.
    std::vector<std::pair<double, std::string>> busiest;
    for (auto& [name, cpu] : threads) {
        cpu.resize(RUNS);
        busiest.emplace_back(Median(cpu), name);
    }
    std::sort(busiest.rbegin(), busiest.rend());
    std::printf("  by thread:");
    for (const auto& [cpu, name] : busiest) {
        if (cpu >= 0.001)
            std::printf(" %s %.1f%%", name.c_str(), cpu * 100);
    }
    std::printf("\n");
    std::fflush(stdout);
}

} // namespace

void RunRows(char* program, bool bWayland);

// A headless compositor on a socket of its own in a private runtime folder:
// weston, or GNOME's mutter (which needs the session bus the caller gives
// it); its process id, or -1.
pid_t StartCompositor(bool bMutter, const std::string& runtimeDir) {
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        if (bMutter)
            execlp("mutter", "mutter", "--wayland", "--headless", "--no-x11", "--virtual-monitor",
                   "1024x768", "--wayland-display=vizor-bench", static_cast<char*>(nullptr));
        else
            execlp("weston", "weston", "--no-config", "--backend=headless-backend.so",
                   "--socket=vizor-bench", "--idle-time=0", "--width=1024", "--height=768",
                   static_cast<char*>(nullptr));
        _exit(127);
    }
    const std::string socket = runtimeDir + "/vizor-bench";
    for (int i = 0; i < 100 && access(socket.c_str(), F_OK) != 0; ++i)
        usleep(100 * 1000);
    return access(socket.c_str(), F_OK) == 0 ? pid : -1;
}

int main(int argc, char** argv) {
    // --wayland, --mutter: the same rows under a headless weston or mutter
    // started here, through Qt's Wayland platform.
    const std::string option = argc > 1 ? argv[1] : "";
    const bool bMutter = option == "--mutter";
    const bool bWayland = bMutter || option == "--wayland";
    QTemporaryDir runtime;
    pid_t compositor = -1;
    if (bWayland) {
        chmod(runtime.path().toLocal8Bit().constData(), 0700);
        compositor = StartCompositor(bMutter, runtime.path().toStdString());
        if (compositor < 0) {
            std::fprintf(stderr, "%s did not start\n", bMutter ? "mutter" : "weston");
            return 1;
        }
        setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
        setenv("WAYLAND_DISPLAY", "vizor-bench", 1);
        setenv("QT_QPA_PLATFORM", "wayland", 1);
        unsetenv("DISPLAY");
    } else if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    setenv("VIZOR_TEST_CAMERA", "1", 0);
    RunRows(argv[0], bWayland);
    // The compositor goes after the application's last connection to it.
    if (compositor > 0) {
        kill(compositor, SIGTERM);
        waitpid(compositor, nullptr, 0);
    }
    return 0;
}

void RunRows(char* program, bool bWayland) {
    int qtArgc = 1;
    QApplication app(qtArgc, &program);
    std::unique_ptr<IMediaGraphService> service = CreateGstMediaGraphService();
    QTemporaryDir frames;
    const std::string jpeg640 = EncodeJpegFrames(frames.path(), 640, 480);
    const std::string jpeg1280 = EncodeJpegFrames(frames.path(), 1280, 1024);
    CPreEncodedCameraService camera640(*service, jpeg640, 640, 480);
    CPreEncodedCameraService camera1280(*service, jpeg1280, 1280, 1024);
    // Load every plugin once, for both sides, before anything is timed.
    Preview(*service, RES_640X480, 0, false);
    Preview(camera640, RES_640X480, 0, false);
    BareFirstBufferMs(640, 480);

    std::printf("median of %d runs of %d s; floor = each camera frame turned once into the "
                "host's BGRx\n",
                RUNS, WINDOW_MS / 1000);
    std::printf("renderer: %s\n", RendererName());
    std::printf("%-26s %7s %10s %7s %12s %11s %7s\n", "preview", "CPU", "floor CPU", "ratio",
                "first frame", "bare first", "ratio");
    const std::vector<Row> rows =
        bWayland ? std::vector<Row>{
                       {"YUY2 640x480", service.get(), RES_640X480, BarePipeline(640, 480), 640, 480},
                       {"MJPEG 1280x1024 -> 640x480", &camera1280, RES_1_3M,
                        BareJpegPipeline(jpeg1280)},
                   }
                 : std::vector<Row>{
                       {"YUY2 640x480", service.get(), RES_640X480, BarePipeline(640, 480), 640, 480},
                       {"YUY2 1280x1024", service.get(), RES_1_3M, BarePipeline(1280, 1024), 1280,
                        1024},
                       {"MJPEG 640x480", &camera640, RES_640X480,
                        BareJpegPipeline(jpeg640)},
                       {"MJPEG 1280x1024 -> 640x480", &camera1280, RES_1_3M,
                        BareJpegPipeline(jpeg1280)},
                       // A snapshot every second: what the armed copy adds,
                       // and how soon the handler has the frame.
                       {"YUY2 640x480 + snapshot/s", service.get(), RES_640X480,
                        BarePipeline(640, 480), 0, 0, true},
                       {"MJPEG 1.3M + snapshot/s", &camera1280, RES_1_3M,
                        BareJpegPipeline(jpeg1280), 0, 0, true},
                   };
    for (const Row& row : rows)
        RunRow(row);
}
