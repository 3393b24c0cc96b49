// The photo library's hot paths against their baselines, measured in one run:
// - the rebuild of the list from a tree of 10,000 photos and 50,000 other
//   files, against `find` on the same tree (target <= 1.5x);
// - seven new 1280x1024 thumbnails, against seven `djpeg` decodes (<= 1.3x);
// - one 1280x1024 snapshot from BufferCB to the published file and the redrawn
//   strip, against one frame interval plus twice the encode time;
// - the process's resident memory with 0 and with 10,000 photos listed.
// Usage: library_bench [work folder]. The tree is built there and removed.

#include "capture/frame_buffer.h"
#include "library/jpeg_codec.h"
#include "library/photo_buffers.h"
#include "library/photo_library.h"
#include "platform/message_box.h"

#include <QApplication>
#include <QEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MedianMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "failed: %s\n", command.c_str());
}

// A 1280x1024 bottom-up BGR frame with some detail for the encoder.
std::vector<unsigned char> TestFrame() {
    std::vector<unsigned char> frame(1280 * 1024 * 3);
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 1280; ++x)
            for (int c = 0; c < 3; ++c)
                frame[(y * 1280 + x) * 3 + c] =
                    static_cast<unsigned char>((x * (c + 1) + y) ^ (x >> 3));
    return frame;
}

class SnapshotWindow : public QObject {
public:
    CPhotoLibrary* library = nullptr;

protected:
    bool event(QEvent* e) override {
        if (e->type() != SnapshotReadyEvent)
            return QObject::event(e);
        library->OnSnapshotReady();
        return true;
    }
};

class NullCell : public IThumbCell {
public:
    void ShowPicture(const QImage& picture) override { m_nPixels += picture.width(); }
    QSize CellSize() const override { return {72, 54}; }
    long m_nPixels = 0;
};

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    // The placeholder files of the tree are not JPEGs: their decode messages
    // are counted, not shown.
    int messages = 0;
    SetMessageBoxHook([&messages](const MessageBoxRequest&) {
        ++messages;
        return IDOK;
    });
    QTemporaryDir scratch(argc > 1 ? QString(argv[1]) + "/vizor-bench-XXXXXX" : QString());
    const std::string root = scratch.path().toStdString() + "/Pictures";
    std::filesystem::create_directories(root);

    const long rssBase = ResidentKb();
    PhotoRecordsPtr records = AllocatePhotoRecords();
    DecodeBufferPtr decodeBuffer = AllocateDecodeBuffer();
    StripState strip;
    strip.m_pPhotos = records.get();
    LibraryMembers members;
    members.m_szPicturesPath = root;
    members.m_strPhotoFolder = root + "/";
    members.m_pDecodeBuffer = decodeBuffer.get();
    std::array<NullCell, 7> cells;
    LibraryHooks hooks;
    for (int k = 0; k < 7; ++k)
        hooks.view.cells[k] = &cells[k];
    CPhotoLibrary library(strip, members, JpegFileCodec(), hooks);
    library.StartupScan();
    const long rssEmpty = ResidentKb();

    // The tree: 5,000 photos in the folder itself, 5,000 in 50 albums, and
    // 50,000 other files in 100 folders. Seven real 1280x1024 photos come last.
    std::vector<unsigned char> frame = TestFrame();
    std::vector<unsigned char> rgb = frame;
    JpegFileCodec().SwapRedBlue(rgb.data(), 1280, 1024);
    JpegFileCodec().FlipVertical(rgb.data(), 1280 * 3, 1024);
    const std::string sample = root + "/sample.bin";
    JpegFileCodec().EncodeFromRgb(sample, rgb.data(), 1280, 1024, 1, 90);
    for (int i = 0; i < 10000; ++i) {
        char name[64];
        if (i < 5000)
            std::snprintf(name, sizeof name, "/Picture %04d.jpg", i + 2000);
        else
            std::snprintf(name, sizeof name, "/Album %02d", (i - 5000) / 100);
        std::string path = root + name;
        if (i >= 5000) {
            std::filesystem::create_directories(path);
            char file[32];
            std::snprintf(file, sizeof file, "/Picture %04d.jpg", i % 100);
            path += file;
        }
        if (i >= 4993 && i < 5000)
            std::filesystem::copy_file(sample, path);
        else
            std::ofstream(path).put('x');
    }
    for (int d = 0; d < 100; ++d) {
        const std::string folder = root + "/other " + std::to_string(d);
        std::filesystem::create_directories(folder);
        for (int f = 0; f < 500; ++f)
            std::ofstream(folder + "/file " + std::to_string(f) + ".dat").put('x');
    }
    std::filesystem::remove(sample);

    // Warm the cache once for both sides, then compare medians.
    Run("find '" + root + "' -name '*jpg' > /dev/null");
    const double findMs = MedianMs(7, [&] { Run("find '" + root + "' -name '*jpg' > /dev/null"); });
    const double listMs = MedianMs(7, [&] {
        WalkedPaths paths;
        members.m_folderWalker.Start(&paths, members.m_strPhotoFolder, &CPhotoLibrary::OnPhotoFile,
                                     1);
    });
    const double rebuildMs = MedianMs(7, [&] { library.RebuildPhotoList(REBUILD_AFTER_DELETE); });
    std::printf("photos listed: %d\n", strip.m_nPhotoCount);
    std::printf(
        "rebuild list (walk only):  %8.1f ms   find: %8.1f ms   ratio %.2f (target <= 1.5)\n",
        listMs, findMs, listMs / findMs);
    std::printf("rebuild with 7 thumbnails: %8.1f ms\n", rebuildMs);

    // Seven new thumbnails: the last seven records are the real photos.
    strip.m_nFirstVisible = strip.m_nPhotoCount - 7;
    std::string djpeg;
    for (int k = 0; k < 7; ++k)
        djpeg += "djpeg -outfile /dev/null '" +
                 std::string(strip.m_pPhotos[strip.m_nFirstVisible + k].szPath) + "';";
    const double djpegMs = MedianMs(7, [&] { Run(djpeg); });
    const double thumbsMs = MedianMs(7, [&] {
        for (int k = 0; k < 7; ++k)
            strip.m_pPhotos[strip.m_nFirstVisible + k].bThumbReady = 0;
        library.RenderThumbnailStrip();
    });
    std::printf(
        "7 thumbnails 1280x1024:    %8.1f ms   7 djpeg: %8.1f ms   ratio %.2f (target <= 1.3)\n",
        thumbsMs, djpegMs, thumbsMs / djpegMs);
    const long rssFull = ResidentKb();

    // One snapshot from the grabber to the published file and the new strip,
    // in a folder of its own and in the big tree.
    SnapshotWindow window;
    g_grabberCallback.m_pOwner = &window;
    g_grabberCallback.m_nWidth = 1280;
    g_grabberCallback.m_nHeight = 1024;
    const std::string encoded = scratch.path().toStdString() + "/encode.jpg";
    const double encodeMs = MedianMs(7, [&] {
        JpegFileCodec().EncodeFromRgb(encoded, rgb.data(), 1280, 1024, 1, 90);
        std::filesystem::remove(encoded);
    });
    auto snapshot = [&](CPhotoLibrary& target) {
        window.library = &target;
        return MedianMs(7, [&] {
            target.OnSnapshotButton();
            g_grabberCallback.BufferCB(0.0, frame.data(), LONG(frame.size()));
            QCoreApplication::sendPostedEvents(&window);
        });
    };
    const std::string small = scratch.path().toStdString() + "/Small";
    std::filesystem::create_directories(small);
    StripState smallStrip;
    smallStrip.m_pPhotos = records.get();
    LibraryMembers smallMembers;
    smallMembers.m_szPicturesPath = small;
    smallMembers.m_strPhotoFolder = small + "/";
    smallMembers.m_pDecodeBuffer = decodeBuffer.get();
    CPhotoLibrary smallLibrary(smallStrip, smallMembers, JpegFileCodec(), hooks);
    smallLibrary.StartupScan();
    const double smallSnapshotMs = snapshot(smallLibrary);
    const double treeSnapshotMs = snapshot(library);
    const double frameMs = 1000.0 / 30;
    std::printf("snapshot 1280x1024, folder of 7:       %8.1f ms   frame interval + 2 x encode: "
                "%.1f ms (encode %.1f ms)\n",
                smallSnapshotMs, frameMs + 2 * encodeMs, encodeMs);
    std::printf("snapshot 1280x1024, 10,000-photo tree: %8.1f ms\n", treeSnapshotMs);
    std::printf("decode messages answered: %d\n", messages);
    std::printf("RSS: start %ld kB, 0 photos listed %ld kB, 10,000 photos listed %ld kB\n", rssBase,
                rssEmpty, rssFull);
    g_grabberCallback.m_pOwner = nullptr;
    ReleaseFrameBuffer();
    return 0;
}
