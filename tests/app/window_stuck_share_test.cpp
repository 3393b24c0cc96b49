// A share in the pictures folder whose server stopped answering (a FUSE file
// system whose directory listing blocks until the test lets it go): the
// window answers all the while and shows the photos once the share answers.

#include "app/camera_dlg.h"
#include "test_photos.h"
#include "window_fixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The share: mounted on mountPoint while it lives; listing it blocks until
// Release, or STUCK_LIMIT_S at most, so that a window that waits for it fails
// the test rather than hanging it.
constexpr int STUCK_LIMIT_S = 10;

class StuckShare {
public:
    StuckShare(const std::string& mountPoint, const std::string& scratch)
        : m_strMount(mountPoint), m_strGate(scratch + "/gate"), m_strLog(scratch + "/listings") {
        mkdir(m_strMount.c_str(), 0700);
        std::ofstream(m_strGate).put('x');
        m_daemon.setProcessChannelMode(QProcess::MergedChannels);
        m_daemon.start("/usr/bin/python3",
                       {STUCK_SHARE_SCRIPT, QString::fromStdString(m_strMount),
                        QString::fromStdString(m_strGate), QString::fromStdString(m_strLog),
                        QString::number(STUCK_LIMIT_S)});
        QElapsedTimer timer;
        timer.start();
        while (!Mounted() && m_daemon.state() != QProcess::NotRunning && timer.elapsed() < 10000)
            QTest::qWait(20);
    }
    ~StuckShare() {
        Release();
        QProcess::execute("fusermount", {"-u", QString::fromStdString(m_strMount)});
        if (!m_daemon.waitForFinished(3000))
            m_daemon.kill();
        m_daemon.waitForFinished(1000);
    }

    // A mount point lies on a device of its own.
    bool Mounted() const {
        struct stat share, parent;
        return stat(m_strMount.c_str(), &share) == 0 &&
               stat((m_strMount + "/..").c_str(), &parent) == 0 && share.st_dev != parent.st_dev;
    }
    void Release() { unlink(m_strGate.c_str()); }
    // How many listings of the share were started.
    int Listings() const {
        std::ifstream log(m_strLog);
        int lines = 0;
        for (std::string line; std::getline(log, line);)
            ++lines;
        return lines;
    }
    QString Output() { return QString::fromLocal8Bit(m_daemon.readAll()); }

private:
    std::string m_strMount;
    std::string m_strGate;
    std::string m_strLog;
    QProcess m_daemon;
};

class WindowStuckShare : public WindowHome {
protected:
    void TearDown() override {
        if (m_pShare)
            m_pShare->Release();
        // The window goes before the share it may still be waiting on.
        m_pDlg.reset();
        m_pShare.reset();
        WindowHome::TearDown();
    }

    std::unique_ptr<StuckShare> m_pShare;
};

TEST_F(WindowStuckShare, WindowAnswersWhileAShareIsStuckAndShowsThePhotosWhenItAnswers) {
    WritePhotos(Pictures(), 3);
    // The same start without the share, for the time the camera's own start
    // takes on this machine now.
    const qint64 baselineMs = StartWindow();
    ASSERT_EQ(m_pDlg->m_nPhotoCount, 3);
    m_pDlg.reset();

    mkdir((m_home / "scratch").c_str(), 0700);
    // "Network Share" comes before the photos: the walk meets it first.
    m_pShare = std::make_unique<StuckShare>(Pictures() + "/Network Share", m_home / "scratch");
    ASSERT_TRUE(m_pShare->Mounted()) << m_pShare->Output().toStdString();
    EXPECT_LT(StartWindow() - baselineMs, 1500) << "start-up waited for the stuck share";
    EXPECT_TRUE(Answers(200));
    EXPECT_EQ(m_pDlg->m_nPhotoCount, 0);

    // A snapshot while the share is stuck is saved, and the window answers.
    QElapsedTimer timer;
    timer.start();
    m_pDlg->OnSnapshotButton();
    const std::string photo = Pictures() + "/" + PictureName(3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return FileExists(photo); }, 1500));
    EXPECT_TRUE(Answers(200));
    EXPECT_LT(timer.elapsed(), 1500);
    EXPECT_EQ(m_pShare->Listings(), 1) << "a second walk started while the first was stuck";

    // The share answers: the photos show, the new one selected at the end,
    // as after any snapshot.
    m_pShare->Release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_pDlg->m_nPhotoCount == 4; }, 3000));
    EXPECT_TRUE(std::string(m_pDlg->m_pPhotos[3].szPath).ends_with("/" + PictureName(3)));
    EXPECT_EQ(m_pDlg->m_nAnchor, 3);
    EXPECT_EQ(m_pDlg->m_marks[3], 1);
}

} // namespace
