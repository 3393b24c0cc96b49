// One start of the program as far as the single-instance rule goes, for the
// tests that need separate processes. Prints what it became:
//
//   single_instance_probe NAME hold GOFILE EXPECTED TIMEOUT_MS
//     "ready", then waits for GOFILE to exist (so many probes start at once),
//     takes the lock; as primary prints "primary" and, once EXPECTED
//     activation messages have come or TIMEOUT_MS have passed, "activations N";
//     as secondary prints "secondary" and "delivered" or "undelivered".
//   single_instance_probe NAME crash
//     takes the lock, prints "primary" or "secondary" and dies by SIGKILL.

#include "platform/single_instance.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
void Say(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    CSingleInstance instance(QString::fromUtf8(argv[1]));

    if (std::strcmp(argv[2], "crash") == 0) {
        Say(instance.CreateInstanceLock() ? "primary" : "secondary");
        std::raise(SIGKILL);
    }
    if (std::strcmp(argv[2], "hold") != 0 || argc < 6)
        return 2;

    const QString goFile = QString::fromUtf8(argv[3]);
    const int nExpected = std::atoi(argv[4]);
    const int nTimeoutMs = std::atoi(argv[5]);
    Say("ready");
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(goFile)) {
        if (waited.elapsed() > 60000)
            return 3;
        QThread::usleep(500);
    }

    if (!instance.CreateInstanceLock()) {
        Say("secondary");
        Say(instance.SendActivation(nTimeoutMs) ? "delivered" : "undelivered");
        return 0;
    }
    Say("primary");
    int nActivations = 0;
    QObject::connect(&instance, &CSingleInstance::activationRequested, &app, [&] {
        if (++nActivations >= nExpected)
            app.quit();
    });
    QTimer::singleShot(nTimeoutMs, &app, &QCoreApplication::quit);
    if (nExpected > 0)
        app.exec();
    std::printf("activations %d\n", nActivations);
    return 0;
}
