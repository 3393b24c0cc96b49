// Preview cost: process CPU of the running preview (test camera, grabber tap,
// painted video surface) at 640x480 and 1280x1024, beside the floor: a bare
// gst-launch-1.0 pipeline that converts each camera frame once for display
// (YUY2 -> BGRx) into a fakesink, measured in the same run; the time from
// RestartStillGraph to the first painted frame beside the bare pipeline's time
// to its first buffer; and the preview with a snapshot taken every second, with
// the time from the press to the frame in the snapshot handler's hands.
// Every figure is the median of RUNS runs, ours and the floor taken in turn.

#include "capture/frame_buffer.h"
#include "capture/gst_media_graph.h"
#include "capture/gst_ptr.h"
#include "capture/preview_control.h"
#include "capture/resolution_menu.h"
#include "capture/video_surface.h"

#include <QApplication>
#include <QElapsedTimer>
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
#include <string>
#include <vector>
#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int WARMUP_MS = 1000;
constexpr int WINDOW_MS = 5000;
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

// CPU time of another process's running threads, in seconds, to the
// nanosecond: the scheduler's own account. utime and stime in ticks of 10 ms
// would put a step of 0.2 % of a core into a 5 s window.
double ChildCpuSeconds(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (!dir)
        return 0;
    unsigned long long ns = 0;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
        unsigned long long running = 0;
        if (stat >> running)
            ns += running;
    }
    closedir(dir);
    return static_cast<double>(ns) / 1e9;
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

// CPU seconds per wall second of gst-launch-1.0 running the bare pipeline.
double BareCpu(int width, int height) {
    const std::string description = BarePipeline(width, height);
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
        RunEvents(windowMs);
        figures.cpu = (ProcessCpuSeconds() - start) / (windowMs / 1000.0);
        figures.pressToFrameMs = Median(owner.pressToFrameMs);
    }
    StopStillGraph(graph);
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("VIZOR_TEST_CAMERA", "1", 0);
    QApplication app(argc, argv);
    std::unique_ptr<IMediaGraphService> service = CreateGstMediaGraphService();
    // Load every plugin once, for both sides, before anything is timed.
    Preview(*service, RES_640X480, 0, false);
    BareFirstBufferMs(640, 480);

    std::printf("median of %d runs; floor = camera frames converted once to BGRx\n", RUNS);
    std::printf("%-16s %12s %12s %7s %14s %14s %7s\n", "preview", "CPU", "floor CPU", "ratio",
                "first frame", "bare first", "ratio");
    struct Size {
        int mode, width, height;
    };
    double floor640 = 0;
    for (const Size size : {Size{RES_640X480, 640, 480}, Size{RES_1_3M, 1280, 1024}}) {
        std::vector<double> ours, oursFirst, bare, bareFirst;
        for (int run = 0; run < RUNS; ++run) {
            const PreviewFigures figures = Preview(*service, size.mode, WINDOW_MS, false);
            ours.push_back(figures.cpu);
            oursFirst.push_back(figures.firstFrameMs);
            bare.push_back(BareCpu(size.width, size.height));
            bareFirst.push_back(BareFirstBufferMs(size.width, size.height));
        }
        const double cpu = Median(ours), floorCpu = Median(bare);
        const double first = Median(oursFirst), floorFirst = Median(bareFirst);
        if (size.mode == RES_640X480)
            floor640 = floorCpu;
        std::printf("%4dx%-11d %11.1f%% %11.1f%% %6.2fx %12.1fms %12.1fms %6.2fx\n", size.width,
                    size.height, cpu * 100, floorCpu * 100, floorCpu > 0 ? cpu / floorCpu : 0.0,
                    first, floorFirst, floorFirst > 0 ? first / floorFirst : 0.0);
    }

    // A snapshot every second: what the armed copy adds, and how soon the
    // handler has the frame after the press.
    std::vector<double> cpu, press;
    for (int run = 0; run < RUNS; ++run) {
        const PreviewFigures figures = Preview(*service, RES_640X480, WINDOW_MS, true);
        cpu.push_back(figures.cpu);
        press.push_back(figures.pressToFrameMs);
    }
    std::printf("640x480 + snapshot/s %7.1f%% %11.1f%% %6.2fx   press to frame %.1fms\n",
                Median(cpu) * 100, floor640 * 100, floor640 > 0 ? Median(cpu) / floor640 : 0.0,
                Median(press));
    return 0;
}
