// A camera that changes its frame size while it streams: the publishing
// pipeline of the rig, given as one gst-launch description whose format
// capsfilter is named "format", run until SIGTERM. SIGUSR1 sets that filter
// to the second format, and the source renegotiates to it without stopping.
//
//   rig_switching_camera DESCRIPTION CAPS_AFTER

#include <glib-unix.h>
#include <gst/gst.h>

#include <cstdio>

namespace {

struct Switch {
    GstElement* pFilter;
    const char* szCapsAfter;
};

gboolean OnSwitch(gpointer data) {
    const auto* target = static_cast<const Switch*>(data);
    GstCaps* caps = gst_caps_from_string(target->szCapsAfter);
    g_object_set(target->pFilter, "caps", caps, nullptr);
    gst_caps_unref(caps);
    std::fprintf(stderr, "switched to %s\n", target->szCapsAfter);
    return G_SOURCE_CONTINUE;
}

gboolean OnQuit(gpointer loop) {
    g_main_loop_quit(static_cast<GMainLoop*>(loop));
    return G_SOURCE_REMOVE;
}

} // namespace

int main(int argc, char** argv) {
    gst_init(&argc, &argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DESCRIPTION CAPS_AFTER\n", argv[0]);
        return 2;
    }
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(argv[1], &error);
    if (!pipeline || error) {
        std::fprintf(stderr, "pipeline: %s\n", error ? error->message : "?");
        return 1;
    }
    GstElement* filter = gst_bin_get_by_name(GST_BIN(pipeline), "format");
    if (!filter) {
        std::fprintf(stderr, "no capsfilter named format\n");
        return 1;
    }
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    Switch target{filter, argv[2]};
    g_unix_signal_add(SIGUSR1, &OnSwitch, &target);
    g_unix_signal_add(SIGTERM, &OnQuit, loop);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    g_main_loop_run(loop);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(filter);
    gst_object_unref(pipeline);
    g_main_loop_unref(loop);
    return 0;
}
