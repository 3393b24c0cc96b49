// Preview cost: process CPU of the running preview (test camera, grabber tap,
// painted video surface) at 640x480 and 1280x1024, beside a bare gst-launch-1.0
// pipeline doing the same conversion and flip into a fakesink, measured in the
// same run; and the time from RestartStillGraph to the first painted frame
// beside the bare pipeline's time to its first buffer.

#include "capture/gst_media_graph.h"
#include "capture/preview_control.h"
#include "capture/resolution_menu.h"
#include "capture/video_surface.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <gst/gst.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <atomic>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int WARMUP_MS = 1000;
constexpr int WINDOW_MS = 5000;

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// utime + stime of another process, in seconds.
double ChildCpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream rest(text.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14)
            utime = std::stoull(field);
        if (i == 15)
            stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void RunEvents(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

std::string BarePipeline(int width, int height) {
    return "videotestsrc is-live=true ! video/x-raw,format=YUY2,width=" + std::to_string(width) +
           ",height=" + std::to_string(height) +
           ",framerate=30/1 ! videobalance ! videoconvert ! videoflip video-direction=vert ! "
           "video/x-raw,format=BGR ! fakesink name=sink";
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
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(BarePipeline(width, height).c_str(), &error);
    if (!pipeline) {
        std::fprintf(stderr, "bare pipeline: %s\n", error ? error->message : "?");
        return -1;
    }
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    g_object_set(sink, "signal-handoffs", TRUE, nullptr);
    g_signal_connect(sink, "handoff",
                     G_CALLBACK(+[](GstElement*, GstBuffer*, GstPad*, gpointer data) {
                         auto* s = static_cast<Seen*>(data);
                         qint64 none = -1;
                         s->ms.compare_exchange_strong(none, s->timer.nsecsElapsed() / 1000);
                     }),
                     &seen);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    while (seen.ms.load() < 0 && seen.timer.elapsed() < 5000)
        usleep(1000);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(sink);
    gst_object_unref(pipeline);
    return static_cast<double>(seen.ms.load()) / 1000.0;
}

struct PreviewFigures {
    double cpu = 0;
    double firstFrameMs = -1;
};

PreviewFigures Preview(IMediaGraphService& service, int mode, int windowMs) {
    QWidget window;
    window.resize(640, 600);
    QWidget host(&window);
    PlacePreviewControl(&host, mode);
    window.show();
    QObject owner;
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
        const double start = ProcessCpuSeconds();
        RunEvents(windowMs);
        figures.cpu = (ProcessCpuSeconds() - start) / (windowMs / 1000.0);
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
    Preview(*service, RES_640X480, 0);
    BareFirstBufferMs(640, 480);

    std::printf("%-10s %12s %12s %7s %14s %14s %7s\n", "size", "preview CPU", "bare CPU", "ratio",
                "first frame", "bare first", "ratio");
    struct Size {
        int mode, width, height;
    };
    for (const Size size : {Size{RES_640X480, 640, 480}, Size{RES_1_3M, 1280, 1024}}) {
        const PreviewFigures ours = Preview(*service, size.mode, WINDOW_MS);
        const double bareCpu = BareCpu(size.width, size.height);
        const double bareFirst = BareFirstBufferMs(size.width, size.height);
        std::printf("%4dx%-5d %11.1f%% %11.1f%% %6.2fx %12.1fms %12.1fms %6.2fx\n", size.width,
                    size.height, ours.cpu * 100, bareCpu * 100,
                    bareCpu > 0 ? ours.cpu / bareCpu : 0.0, ours.firstFrameMs, bareFirst,
                    bareFirst > 0 ? ours.firstFrameMs / bareFirst : 0.0);
    }
    return 0;
}
