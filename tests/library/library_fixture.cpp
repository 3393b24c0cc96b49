#include "tests/library/library_fixture.h"

#include <QFile>
#include <QImageReader>

#include <cstring>
#include <fstream>

#include <unistd.h>

namespace {

CodecCalls g_calls;

unsigned char* Decode(const std::string& path, std::uint32_t& width, std::uint32_t& height,
                      unsigned char* buffer) {
    width = height = 0;
    ++g_calls.decodes;
    g_calls.decodedPaths.push_back(path);
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        AppMessageBox("JPEG :\nCan't open " + path + "\n");
        return nullptr;
    }
    QImageReader reader(&file, "jpeg");
    const QSize size = reader.size();
    if (size.isValid() &&
        (size.width() > 3000 || size.height() > 3000 || size.width() < 72 || size.height() < 54))
        return nullptr;
    QImage image = reader.read();
    if (image.isNull()) {
        ShowMessageBox(
            {"Not a JPEG file", "JPEG Fatal Error", MB_ICONERROR, MessageBoxOwner::None});
        return nullptr;
    }
    width = image.width();
    height = image.height();
    // Stands for a four-component file: the library reports success without
    // storing any row.
    if (path.find("CMYK") != std::string::npos)
        return buffer;
    image = image.convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(buffer + y * image.width() * 3, image.constScanLine(y), image.width() * 3);
    return buffer;
}

bool Encode(const std::string& path, const unsigned char* data, std::uint32_t width,
            std::uint32_t height, int, int quality) {
    ++g_calls.encodes;
    if (!data || !width || !height)
        return false;
    QImage image(data, int(width), int(height), int(width) * 3, QImage::Format_RGB888);
    const std::string temp = path + ".part";
    bool written = image.save(QString::fromStdString(temp), "JPG", quality);
    // Published without replacing anything, as JpegFile does.
    written = written && link(temp.c_str(), path.c_str()) == 0;
    unlink(temp.c_str());
    if (!written)
        AppMessageBox("JpegFile :\nCan't open " + path + "\n");
    return written;
}

bool SwapRedBlue(unsigned char* data, std::uint32_t pixelsPerRow, std::uint32_t rows) {
    if (!data)
        return false;
    for (std::size_t i = 0; i < std::size_t(pixelsPerRow) * rows; ++i)
        std::swap(data[i * 3], data[i * 3 + 2]);
    return true;
}

bool FlipVertical(unsigned char* data, std::uint32_t bytesPerRow, std::uint32_t rows) {
    if (!data)
        return false;
    for (std::uint32_t i = 0; i < rows / 2; ++i)
        std::swap_ranges(data + i * bytesPerRow, data + (i + 1) * bytesPerRow,
                         data + (rows - 1 - i) * bytesPerRow);
    return true;
}

} // namespace

CodecCalls& TestCodecCalls() {
    return g_calls;
}

const JpegCodec& TestJpegCodec() {
    static const JpegCodec codec{&Encode, &Decode, &SwapRedBlue, &FlipVertical};
    return codec;
}

void WriteJpeg(const std::string& path, int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    image.save(QString::fromStdString(path), "JPG", 95);
}

void Touch(const std::string& path) {
    std::ofstream(path).put('x');
}

MessageBoxRecorder::MessageBoxRecorder() {
    SetMessageBoxHook([this](const MessageBoxRequest& request) {
        boxes.push_back(request);
        if (duringBox)
            duringBox();
        if (answers.empty())
            return (request.style & 0x0F) == MB_YESNO ? IDYES : IDOK;
        const int answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() {
    SetMessageBoxHook({});
}

LibraryFixture::LibraryFixture() {
    g_calls = {};
    strip.m_pPhotos = m_pPhotos.get();
    for (int k = 0; k < 7; ++k)
        strip.m_rcSlot[k] = {10 + 80 * k, 300, 82 + 80 * k, 354};
    members.m_szPicturesPath = Folder();
    members.m_strPhotoFolder = Folder() + "/";
    members.m_pDecodeBuffer = m_pDecode.get();
    LibraryHooks hooks;
    for (int k = 0; k < 7; ++k)
        hooks.view.cells[k] = &cells[k];
    hooks.view.repaintFrames = [this] { ++repaints; };
    hooks.updateDeleteButton = [this] {
        ++deleteButtonUpdates;
        deleteButtonEnabled = strip.m_nAnchor >= 0;
    };
    hooks.storeCounter = [this](int value) { storedCounters.push_back(value); };
    hooks.openFile = [this](const std::string& path) { opened.push_back(path); };
    hooks.languageId = [this] { return languageId; };
    library = std::make_unique<CPhotoLibrary>(strip, members, TestJpegCodec(), hooks);
}

LibraryFixture::~LibraryFixture() = default;
