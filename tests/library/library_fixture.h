#pragma once
// Shared pieces of the photo library tests: JpegFile with its calls counted,
// cells that remember their picture, and a pictures folder with a
// CPhotoLibrary over it.

#include "library/jpeg_codec.h"
#include "library/photo_buffers.h"
#include "library/photo_library.h"
#include "library/strip_selection.h"
#include "platform/message_box.h"
#include "tests/support/temp_dir.h"

#include <QColor>
#include <QImage>

#include <array>
#include <memory>
#include <string>
#include <vector>

// Calls of JpegFile counted by the test codec.
struct CodecCalls {
    int decodes = 0;
    int encodes = 0;
    std::vector<std::string> decodedPaths;
};
CodecCalls& TestCodecCalls();
const JpegCodec& TestJpegCodec();

// Writes a JPEG file of the given size in one colour.
void WriteJpeg(const std::string& path, int width, int height, QColor colour);

class FakeCell : public IThumbCell {
public:
    void ShowPicture(const QImage& image) override {
        m_image = image;
        ++m_nSets;
    }
    QSize CellSize() const override { return {72, 54}; }
    QImage m_image;
    int m_nSets = 0;
};

// Records every message box and answers from a script; past its end, Yes to
// a question and OK to any other box.
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    std::vector<MessageBoxRequest> boxes;
    std::vector<int> answers;
    // Runs inside the box, as the modal loop would run other handlers.
    std::function<void()> duringBox;
};

class LibraryFixture {
public:
    LibraryFixture();
    ~LibraryFixture();

    std::string Folder() const { return m_pictures.Path(); }
    std::string PhotoPath(const std::string& name) const { return m_pictures / name; }

    TempDir m_pictures;
    PhotoRecordsPtr m_pPhotos = AllocatePhotoRecords();
    DecodeBufferPtr m_pDecode = AllocateDecodeBuffer();
    StripState strip;
    LibraryMembers members;
    std::array<FakeCell, 7> cells;
    std::vector<int> storedCounters;
    std::vector<std::string> opened;
    int repaints = 0;
    int deleteButtonUpdates = 0;
    bool deleteButtonEnabled = false;
    std::uint16_t languageId = 1033;
    std::unique_ptr<CPhotoLibrary> library;
};
