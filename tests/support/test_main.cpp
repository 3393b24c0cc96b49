// The main of every test program: a QApplication on the offscreen platform
// (QT_QPA_PLATFORM is set by CTest), a private runtime folder and settings
// folder, then the tests. Every camera start reads the values kept for the
// camera from the settings file: the user's own file would change what the
// test camera shows.

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

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
