#include "library/jpeg_file.h"

#include "library/jpeg_decode_bounds.h"
#include "library/jpeg_error_trap.h"
#include "library/stale_photo_files.h"
#include "platform/atomic_file.h"
#include "platform/message_box.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <memory>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace JpegFile {

namespace {

// The library functions below run between setjmp and a possible longjmp from
// OnJpegFatalError. They hold only plain C data, so the jump skips no
// destructor; the C++ objects live in the callers.

// Streams the rows (top row first, components bytes per pixel) into the open
// file as a baseline JPEG. False after a fatal library error, which has been
// shown already.
bool CompressRows(FILE* file, const unsigned char* rows, std::uint32_t width, std::uint32_t height,
                  int components, int quality) {
    JpegErrorTrap trap;
    jpeg_compress_struct cinfo{};
    cinfo.err = InitJpegErrorTrap(trap);
    if (setjmp(trap.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = components;
    cinfo.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    const std::size_t stride = std::size_t{width} * static_cast<std::size_t>(components);
    while (cinfo.next_scanline < cinfo.image_height) {
        // The library reads input rows and never writes them; its row type is
        // just not const.
        JSAMPROW row = const_cast<JSAMPROW>(rows + std::size_t{cinfo.next_scanline} * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

void StoreRgbRow(const JSAMPLE* row, std::uint32_t width, unsigned char* target) {
    std::copy_n(row, std::size_t{width} * 3, target);
}

void StoreGreyRow(const JSAMPLE* row, std::uint32_t width, unsigned char* target) {
    for (std::uint32_t x = 0; x < width; ++x, target += 3)
        target[0] = target[1] = target[2] = row[x];
}

// Not inlined into DecodeRows: the box's text is a C++ object and must not
// share a frame with setjmp.
void ShowOutOfMemory() {
    AppMessageBox("JpegFile :\nOut of memory", MB_ICONERROR);
}

// Decodes the open file into buffer as top-down RGB. Fills width and height
// only on success. Pictures outside the accepted sizes fail without a message;
// other failures have been shown.
bool DecodeRows(FILE* file, unsigned char* buffer, std::uint32_t& width, std::uint32_t& height) {
    JpegErrorTrap trap;
    jpeg_decompress_struct cinfo{};
    JpegDecodeBounds bounds;
    cinfo.err = InitJpegErrorTrap(trap);
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    AttachDecodeBounds(cinfo, bounds);
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.image_width > MAX_DECODE_SIDE || cinfo.image_height > MAX_DECODE_SIDE ||
        cinfo.image_width < MIN_DECODE_WIDTH || cinfo.image_height < MIN_DECODE_HEIGHT) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    if (!buffer) {
        ShowOutOfMemory();
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const std::uint32_t outWidth = cinfo.output_width;
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                outWidth * cinfo.output_components, 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        jpeg_read_scanlines(&cinfo, row, 1);
        unsigned char* target =
            buffer + std::size_t{cinfo.output_scanline - 1} * std::size_t{outWidth} * 3;
        // Four-component (CMYK) pictures are read through but not stored.
        if (cinfo.out_color_components == 3)
            StoreRgbRow(row[0], outWidth, target);
        else if (cinfo.out_color_components == 1)
            StoreGreyRow(row[0], outWidth, target);
    }
    width = outWidth;
    height = cinfo.output_height;
    // Every row is out; whatever follows in the file is not needed. Finishing
    // would read on to the end marker, through any amount of trailing bytes
    // (a file cut before its end marker, or padded to gigabytes), so the
    // object is destroyed without finishing. A file cut short has already
    // warned from the rows that were missing.
    jpeg_destroy_decompress(&cinfo);
    return true;
}

// One luminance byte per pixel with the weights 0.299, 0.587, 0.114, computed
// in floating point and truncated.
std::unique_ptr<unsigned char[]> ToGreyscale(const unsigned char* rgb, std::size_t pixels) {
    std::unique_ptr<unsigned char[]> grey(new (std::nothrow) unsigned char[pixels]);
    if (!grey)
        return grey;
    for (std::size_t i = 0; i < pixels; ++i, rgb += 3)
        grey[i] = static_cast<unsigned char>(0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2]);
    return grey;
}

} // namespace

bool EncodeFromRgb(const std::string& path, const unsigned char* data, std::uint32_t width,
                   std::uint32_t height, int colour, int quality) {
    if (!data || width == 0 || height == 0)
        return false;

    std::unique_ptr<unsigned char[]> grey;
    if (!colour) {
        grey = ToGreyscale(data, std::size_t{width} * height);
        if (!grey) {
            AppMessageBox("Memory error");
            return false;
        }
    }

    // The photo is written under a temporary name and published without
    // replacing anything: an existing file is never overwritten, not even one
    // made by another program after the caller's check.
    CAtomicFile file(path);
    // 0666 less the umask, as fopen would give the photo.
    if (!file.Create(PENDING_PHOTO_PREFIX, PENDING_PHOTO_SUFFIX, 0666)) {
        AppMessageBox("JpegFile :\nCan't open " + path + "\n");
        return false;
    }
    if (!CompressRows(file.Stream(), grey ? grey.get() : data, width, height, grey ? 1 : 3,
                      quality))
        return false;

    switch (file.Publish(CAtomicFile::PublishMode::NoReplace)) {
    case CAtomicFile::PublishResult::Published:
        return true;
    case CAtomicFile::PublishResult::NameTaken:
        AppMessageBox("JpegFile :\nCan't open " + path + "\n");
        return false;
    case CAtomicFile::PublishResult::WriteFailed:
        AppMessageBox("JpegFile :\nCan't write " + path + "\n");
        return false;
    }
    return false;
}

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// Opens path for reading when it is a regular file, else null. Anything named
// like a photo may be something else: opening a FIFO waits for a writer that
// never comes, a device may never end. The status is looked at before the
// open, so no device is opened at all, and again on the open descriptor, in
// case the name was replaced in between; O_NONBLOCK keeps that open from
// waiting.
FilePtr OpenRegularFile(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return nullptr;
    // Close-on-exec, so a viewer started while the file is open does not
    // inherit it.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return nullptr;
    }
    FilePtr file(fdopen(fd, "rb"));
    if (!file)
        close(fd);
    return file;
}

} // namespace

unsigned char* DecodeToRgb(const std::string& path, std::uint32_t& width, std::uint32_t& height,
                           unsigned char* buffer) {
    width = 0;
    height = 0;
    FilePtr file = OpenRegularFile(path);
    if (!file) {
        AppMessageBox("JPEG :\nCan't open " + path + "\n");
        return nullptr;
    }
    std::uint32_t decodedWidth = 0;
    std::uint32_t decodedHeight = 0;
    const bool bDecoded = DecodeRows(file.get(), buffer, decodedWidth, decodedHeight);
    file.reset();
    if (!bDecoded)
        return nullptr;
    width = decodedWidth;
    height = decodedHeight;
    return buffer;
}

bool SwapRedBlue(unsigned char* data, std::uint32_t pixelsPerRow, std::uint32_t rows) {
    if (!data)
        return false;
    const std::size_t pixels = std::size_t{pixelsPerRow} * rows;
    for (std::size_t i = 0; i < pixels; ++i, data += 3)
        std::swap(data[0], data[2]);
    return true;
}

bool FlipVertical(unsigned char* data, std::uint32_t bytesPerRow, std::uint32_t rows) {
    if (!data)
        return false;
    // Rows are exchanged byte for byte, so no temporary row is needed.
    for (std::uint32_t top = 0, bottom = rows; top + 1 < bottom; ++top, --bottom)
        std::swap_ranges(data + std::size_t{top} * bytesPerRow,
                         data + std::size_t{top + 1} * bytesPerRow,
                         data + std::size_t{bottom - 1} * bytesPerRow);
    return true;
}

} // namespace JpegFile
