// The main of every test program: a QApplication on the offscreen platform
// (QT_QPA_PLATFORM is set by CTest), a private runtime folder and settings
// folder, then the tests. Every camera start reads the values kept for the
// camera from the settings file: the user's own file would change what the
// test camera shows.

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

// Read by the sanitizer runtimes of the sanitizer builds; unused otherwise.
// GLib's quark table starts in a block allocated while the library loads and
// moves to a bigger one past 2048 quarks, leaving the first unreferenced on
// purpose (readers may still hold it); the camera stack takes every test
// process past that mark. The leak checker sees that block only now and then,
// as stale copies of its address come and go. Allocation stacks are unwound
// in full so that the suppression can see where the block was made: GLib has
// no frame pointers for the fast unwinder to follow.
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}
extern "C" const char* __lsan_default_suppressions() {
    return "leak:_dl_init\n";
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir runtimeDir;
    setenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit().constData(), 1);
    QTemporaryDir configDir;
    setenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
