#include "tests/library/library_fixture.h"

#include "library/jpeg_file.h"

namespace {

CodecCalls g_calls;

// The real JpegFile, with its calls counted.
unsigned char* Decode(const std::string& path, std::uint32_t& width, std::uint32_t& height,
                      unsigned char* buffer) {
    ++g_calls.decodes;
    g_calls.decodedPaths.push_back(path);
    return JpegFile::DecodeToRgb(path, width, height, buffer);
}

bool Encode(const std::string& path, const unsigned char* data, std::uint32_t width,
            std::uint32_t height, int colour, int quality) {
    ++g_calls.encodes;
    return JpegFile::EncodeFromRgb(path, data, width, height, colour, quality);
}

} // namespace

CodecCalls& TestCodecCalls() {
    return g_calls;
}

const JpegCodec& TestJpegCodec() {
    static const JpegCodec codec{&Encode, &Decode, &JpegFile::SwapRedBlue, &JpegFile::FlipVertical};
    return codec;
}

void WriteJpeg(const std::string& path, int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    image.save(QString::fromStdString(path), "JPG", 95);
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
