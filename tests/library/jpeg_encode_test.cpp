// Writing photos: the picture that lands on disk, and that a failed write
// leaves nothing behind and never replaces an existing file.

#include "library/jpeg_file.h"
#include "tests/library/jpeg_test_support.h"
#include "tests/library/library_fixture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <vector>

#include <jpeglib.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

std::vector<unsigned char> NoisePicture(std::uint32_t width, std::uint32_t height) {
    std::vector<unsigned char> picture(std::size_t{width} * height * 3);
    std::uint32_t state = 12345;
    for (auto& byte : picture) {
        state = state * 1664525u + 1013904221u;
        byte = static_cast<unsigned char>(state >> 24);
    }
    return picture;
}

// Components of the JPEG at path, read straight from its header.
int JpegComponents(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return -1;
    jpeg_error_mgr err;
    jpeg_decompress_struct cinfo;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    const int components = cinfo.num_components;
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
    return components;
}

// Every write past limit bytes fails with EFBIG, as on a full disk, while it
// lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_previous;
        lowered.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
};

std::string CantOpenText(const std::string& path) {
    return "JpegFile :\nCan't open " + path + "\n";
}

} // namespace

TEST(JpegEncode, ColourFlagChoosesThreeComponentsAndZeroChoosesOne) {
    TempDir dir;
    MessageBoxRecorder boxes;
    const auto red = SolidPicture(100, 100, 255, 0, 0);
    ASSERT_TRUE(JpegFile::EncodeFromRgb(dir / "grey.jpg", red.data(), 100, 100, 0, 90));
    ASSERT_TRUE(JpegFile::EncodeFromRgb(dir / "colour.jpg", red.data(), 100, 100, 1, 90));
    EXPECT_EQ(JpegComponents(dir / "grey.jpg"), 1);
    EXPECT_EQ(JpegComponents(dir / "colour.jpg"), 3);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST(JpegEncode, GreyscaleWeightsAreTruncatedNotRounded) {
    // Quality 100 keeps a flat picture exact, so the stored sample is the
    // computed luminance itself.
    struct Case {
        unsigned char r, g, b, grey;
    };
    const Case cases[] = {
        {255, 0, 0, 76}, {0, 255, 0, 149}, {0, 0, 255, 29}, {255, 255, 255, 255}, {10, 20, 30, 18}};
    TempDir dir;
    std::vector<unsigned char> rgb(27'000'000);
    for (const Case& c : cases) {
        const auto picture = SolidPicture(80, 60, c.r, c.g, c.b);
        const std::string path = dir / ("grey" + std::to_string(c.grey) + ".jpg");
        ASSERT_TRUE(JpegFile::EncodeFromRgb(path, picture.data(), 80, 60, 0, 100));
        std::uint32_t width = 0, height = 0;
        ASSERT_NE(JpegFile::DecodeToRgb(path, width, height, rgb.data()), nullptr);
        EXPECT_EQ(rgb[(30 * 80 + 40) * 3], c.grey)
            << int(c.r) << "," << int(c.g) << "," << int(c.b);
    }
}

TEST(JpegEncode, RejectsMissingDataAndEmptySizeSilently) {
    TempDir dir;
    MessageBoxRecorder boxes;
    const auto picture = SolidPicture(8, 8, 1, 2, 3);
    EXPECT_FALSE(JpegFile::EncodeFromRgb(dir / "a.jpg", nullptr, 8, 8, 1, 90));
    EXPECT_FALSE(JpegFile::EncodeFromRgb(dir / "a.jpg", picture.data(), 0, 8, 1, 90));
    EXPECT_FALSE(JpegFile::EncodeFromRgb(dir / "a.jpg", picture.data(), 8, 0, 0, 90));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(FolderEntries(dir.Path()).empty());
}

TEST(JpegEncode, SuccessLeavesOnlyTheFinalName) {
    TempDir dir;
    const auto picture = NoisePicture(64, 48);
    ASSERT_TRUE(JpegFile::EncodeFromRgb(dir / "Picture 0000.jpg", picture.data(), 64, 48, 1, 90));
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"Picture 0000.jpg"});
    const std::string bytes = ReadFileBytes(dir / "Picture 0000.jpg");
    ASSERT_GT(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\xFF\xD9");
}

TEST(JpegEncode, NeverReplacesAnExistingFile) {
    TempDir dir;
    MessageBoxRecorder boxes;
    const std::string path = dir / "Picture 0001.jpg";
    WriteFileBytes(path, "somebody else's photo");
    const auto picture = NoisePicture(64, 48);
    const int descriptors = OpenDescriptorCount();

    EXPECT_FALSE(JpegFile::EncodeFromRgb(path, picture.data(), 64, 48, 1, 90));

    EXPECT_EQ(ReadFileBytes(path), "somebody else's photo");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"Picture 0001.jpg"});
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, CantOpenText(path));
    EXPECT_EQ(boxes.boxes[0].caption, APP_TITLE);
    EXPECT_EQ(boxes.boxes[0].style, MB_OK);
}

TEST(JpegEncode, FolderThatCannotTakeTheFileShowsCantOpen) {
    TempDir dir;
    MessageBoxRecorder boxes;
    const auto picture = NoisePicture(64, 48);
    const std::string path = dir / "missing/Picture 0000.jpg";
    EXPECT_FALSE(JpegFile::EncodeFromRgb(path, picture.data(), 64, 48, 1, 90));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, CantOpenText(path));
    EXPECT_EQ(boxes.boxes[0].caption, APP_TITLE);
}

TEST(JpegEncode, ReadOnlyFolderShowsCantOpen) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    TempDir dir;
    MessageBoxRecorder boxes;
    const auto picture = NoisePicture(64, 48);
    ASSERT_EQ(chmod(dir.Path().c_str(), 0500), 0);
    const std::string path = dir / "Picture 0000.jpg";
    EXPECT_FALSE(JpegFile::EncodeFromRgb(path, picture.data(), 64, 48, 1, 90));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, CantOpenText(path));
    EXPECT_TRUE(FolderEntries(dir.Path()).empty());
}

TEST(JpegEncode, FullDiskFailsAndLeavesNoFileAtEitherName) {
    TempDir dir;
    MessageBoxRecorder boxes;
    const auto picture = NoisePicture(640, 480);
    const std::string path = dir / "Picture 0002.jpg";
    const int descriptors = OpenDescriptorCount();
    bool bWritten = true;
    {
        FileSizeLimit limit(8192);
        bWritten = JpegFile::EncodeFromRgb(path, picture.data(), 640, 480, 1, 90);
    }
    EXPECT_FALSE(bWritten);
    EXPECT_TRUE(FolderEntries(dir.Path()).empty());
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "JPEG Fatal Error");
    EXPECT_EQ(boxes.boxes[0].style, MB_ICONERROR);
    EXPECT_EQ(boxes.boxes[0].owner, MessageBoxOwner::None);
    EXPECT_FALSE(boxes.boxes[0].text.empty());
}

TEST(JpegEncode, FullDiskOnTheLastBytesStillFails) {
    // A small picture fits in the library's buffer: the write error only
    // shows when the end of the file is flushed.
    TempDir dir;
    MessageBoxRecorder boxes;
    const auto picture = NoisePicture(32, 32);
    const std::string path = dir / "Picture 0003.jpg";
    bool bWritten = true;
    {
        FileSizeLimit limit(100);
        bWritten = JpegFile::EncodeFromRgb(path, picture.data(), 32, 32, 1, 90);
    }
    EXPECT_FALSE(bWritten);
    EXPECT_TRUE(FolderEntries(dir.Path()).empty());
    EXPECT_EQ(boxes.boxes.size(), 1u);
}
