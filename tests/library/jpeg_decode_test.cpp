// Reading photos into the strip's picture buffer: sizes, orientation, colour
// layouts, and what the user is told about bad files.

#include "library/jpeg_decode_bounds.h"
#include "library/jpeg_file.h"
#include "tests/library/jpeg_test_support.h"
#include "tests/library/library_fixture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t PICTURE_BUFFER_SIZE = 27'000'000; // 3000 x 3000 x 3

class JpegDecode : public ::testing::Test {
protected:
    TempDir m_dir;
    MessageBoxRecorder m_recorder;
    std::vector<unsigned char> m_buffer = std::vector<unsigned char>(PICTURE_BUFFER_SIZE, 0);
    std::uint32_t m_nWidth = 99;
    std::uint32_t m_nHeight = 99;

    unsigned char* Decode(const std::string& path) {
        return JpegFile::DecodeToRgb(path, m_nWidth, m_nHeight, m_buffer.data());
    }
    const unsigned char* Pixel(std::uint32_t x, std::uint32_t y) const {
        return &m_buffer[(std::size_t{y} * m_nWidth + x) * 3];
    }
};

bool Near(const unsigned char* pixel, int r, int g, int b) {
    return std::abs(pixel[0] - r) <= 4 && std::abs(pixel[1] - g) <= 4 &&
           std::abs(pixel[2] - b) <= 4;
}

} // namespace

TEST_F(JpegDecode, RoundTripKeepsSizeAndPutsTheFirstRowOnTop) {
    // Top half red, bottom half blue, and a green left edge.
    auto picture = SolidPicture(640, 480, 0, 0, 255);
    const auto red = SolidPicture(640, 240, 255, 0, 0);
    std::copy(red.begin(), red.end(), picture.begin());
    for (std::size_t y = 0; y < 480; ++y) {
        unsigned char* row = &picture[y * 640 * 3];
        for (std::size_t x = 0; x < 16; ++x)
            row[x * 3] = 0, row[x * 3 + 1] = 255, row[x * 3 + 2] = 0;
    }
    const std::string path = m_dir / "Picture 0000.jpg";
    ASSERT_TRUE(JpegFile::EncodeFromRgb(path, picture.data(), 640, 480, 1, 90));

    EXPECT_EQ(Decode(path), m_buffer.data());
    EXPECT_EQ(m_nWidth, 640u);
    EXPECT_EQ(m_nHeight, 480u);
    EXPECT_TRUE(Near(Pixel(320, 0), 255, 0, 0));
    EXPECT_TRUE(Near(Pixel(320, 479), 0, 0, 255));
    EXPECT_TRUE(Near(Pixel(0, 100), 0, 255, 0));
    EXPECT_TRUE(Near(Pixel(639, 100), 255, 0, 0));
    EXPECT_TRUE(m_recorder.boxes.empty());
}

TEST_F(JpegDecode, GreyscaleFileGivesThreeEqualBytesPerPixel) {
    // A ramp from black on the left to 198 on the right: grey x * 2.
    std::vector<unsigned char> picture(100 * 100 * 3);
    for (std::size_t i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<unsigned char>(i / 3 % 100 * 2);
    ASSERT_TRUE(JpegFile::EncodeFromRgb(m_dir / "grey.jpg", picture.data(), 100, 100, 0, 90));
    m_buffer.assign(m_buffer.size(), 0xAB);

    ASSERT_NE(Decode(m_dir / "grey.jpg"), nullptr);
    EXPECT_EQ(m_nWidth, 100u);
    EXPECT_EQ(m_nHeight, 100u);
    int nUnequal = 0;
    for (std::size_t i = 0; i < 100 * 100 * 3; i += 3)
        nUnequal += m_buffer[i] != m_buffer[i + 1] || m_buffer[i] != m_buffer[i + 2];
    EXPECT_EQ(nUnequal, 0);
    EXPECT_TRUE(Near(Pixel(10, 50), 20, 20, 20));
    EXPECT_TRUE(Near(Pixel(90, 50), 180, 180, 180));
    // Nothing is written past the picture.
    EXPECT_EQ(m_buffer[100 * 100 * 3], 0xAB);
}

TEST_F(JpegDecode, SizesOutsideTheLimitsFailSilently) {
    const std::pair<std::uint32_t, std::uint32_t> sizes[] = {
        {71, 54}, {72, 53}, {3001, 10}, {10, 3001}, {3001, 3000}, {3000, 3001}};
    for (const auto& [width, height] : sizes) {
        const std::string path = m_dir / (std::to_string(width) + "x" + std::to_string(height));
        WriteTestJpeg(path, width, height);
        m_nWidth = m_nHeight = 99;
        EXPECT_EQ(Decode(path), nullptr) << width << "x" << height;
        EXPECT_EQ(m_nWidth, 0u);
        EXPECT_EQ(m_nHeight, 0u);
    }
    EXPECT_TRUE(m_recorder.boxes.empty());
}

TEST_F(JpegDecode, SmallestAcceptedSizeIsRead) {
    WriteTestJpeg(m_dir / "thumb.jpg", 72, 54);
    ASSERT_NE(Decode(m_dir / "thumb.jpg"), nullptr);
    EXPECT_EQ(m_nWidth, 72u);
    EXPECT_EQ(m_nHeight, 54u);
    EXPECT_TRUE(Near(Pixel(71, 53), 90, 140, 200));
}

TEST_F(JpegDecode, LargestAcceptedSizeFillsTheWholeBuffer) {
    WriteTestJpeg(m_dir / "big.jpg", 3000, 3000);
    ASSERT_NE(Decode(m_dir / "big.jpg"), nullptr);
    EXPECT_EQ(m_nWidth, 3000u);
    EXPECT_EQ(m_nHeight, 3000u);
    std::size_t nWrong = 0;
    for (std::size_t i = 0; i < m_buffer.size(); i += 3)
        nWrong += !Near(&m_buffer[i], 90, 140, 200);
    EXPECT_EQ(nWrong, 0u);
}

TEST_F(JpegDecode, TruncatedFileWarnsOnceAndStillSucceeds) {
    std::vector<unsigned char> picture(640 * 480 * 3);
    for (std::size_t i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<unsigned char>((i * 2654435761u) >> 13);
    const std::string path = m_dir / "cut.jpg";
    ASSERT_TRUE(JpegFile::EncodeFromRgb(path, picture.data(), 640, 480, 1, 90));
    const std::string bytes = ReadFileBytes(path);
    WriteFileBytes(path, bytes.substr(0, bytes.size() / 2));

    EXPECT_EQ(Decode(path), m_buffer.data());
    EXPECT_EQ(m_nWidth, 640u);
    EXPECT_EQ(m_nHeight, 480u);
    ASSERT_EQ(m_recorder.boxes.size(), 1u);
    EXPECT_EQ(m_recorder.boxes[0].caption, "JPEG Error");
    EXPECT_EQ(m_recorder.boxes[0].style, MB_OK);
    EXPECT_EQ(m_recorder.boxes[0].owner, MessageBoxOwner::ActiveWindow);
    EXPECT_FALSE(m_recorder.boxes[0].text.empty());
}

TEST_F(JpegDecode, NonJpegShowsFatalErrorAndClosesTheFile) {
    const std::string path = m_dir / "Picture 0001.jpg";
    WriteFileBytes(path, "this is a text file, not a picture\n");
    const int descriptors = OpenDescriptorCount();

    EXPECT_EQ(Decode(path), nullptr);

    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    EXPECT_EQ(m_nWidth, 0u);
    EXPECT_EQ(m_nHeight, 0u);
    ASSERT_EQ(m_recorder.boxes.size(), 1u);
    EXPECT_EQ(m_recorder.boxes[0].caption, "JPEG Fatal Error");
    EXPECT_EQ(m_recorder.boxes[0].style, MB_ICONERROR);
    EXPECT_EQ(m_recorder.boxes[0].owner, MessageBoxOwner::None);
    EXPECT_FALSE(m_recorder.boxes[0].text.empty());
}

TEST_F(JpegDecode, FailureAfterASuccessLeavesNoStaleSize) {
    WriteTestJpeg(m_dir / "good.jpg", 80, 60);
    ASSERT_NE(Decode(m_dir / "good.jpg"), nullptr);
    WriteFileBytes(m_dir / "bad.jpg", std::string("\xFF\xD8\xFF\xE0garbage", 11));
    EXPECT_EQ(Decode(m_dir / "bad.jpg"), nullptr);
    EXPECT_EQ(m_nWidth, 0u);
    EXPECT_EQ(m_nHeight, 0u);
}

TEST_F(JpegDecode, MissingFileShowsCantOpen) {
    const std::string path = m_dir / "gone.jpg";
    EXPECT_EQ(Decode(path), nullptr);
    ASSERT_EQ(m_recorder.boxes.size(), 1u);
    EXPECT_EQ(m_recorder.boxes[0].text, "JPEG :\nCan't open " + path + "\n");
    EXPECT_EQ(m_recorder.boxes[0].caption, APP_TITLE);
    EXPECT_EQ(m_recorder.boxes[0].style, MB_OK);
}

TEST_F(JpegDecode, NullBufferShowsOutOfMemoryOnlyForAcceptedSizes) {
    WriteTestJpeg(m_dir / "small.jpg", 40, 40);
    WriteTestJpeg(m_dir / "good.jpg", 80, 60);
    const int descriptors = OpenDescriptorCount();

    EXPECT_EQ(JpegFile::DecodeToRgb(m_dir / "small.jpg", m_nWidth, m_nHeight, nullptr), nullptr);
    EXPECT_TRUE(m_recorder.boxes.empty());

    EXPECT_EQ(JpegFile::DecodeToRgb(m_dir / "good.jpg", m_nWidth, m_nHeight, nullptr), nullptr);
    EXPECT_EQ(m_nWidth, 0u);
    EXPECT_EQ(m_nHeight, 0u);
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    ASSERT_EQ(m_recorder.boxes.size(), 1u);
    EXPECT_EQ(m_recorder.boxes[0].text, "JpegFile :\nOut of memory");
    EXPECT_EQ(m_recorder.boxes[0].caption, APP_TITLE);
    EXPECT_EQ(m_recorder.boxes[0].style, MB_ICONERROR);
}

TEST_F(JpegDecode, FourComponentFileIsReadWithoutStoringRows) {
    ASSERT_TRUE(WriteCmykJpeg(m_dir / "cmyk.jpg", 80, 60));
    m_buffer.assign(m_buffer.size(), 0x5A);
    EXPECT_EQ(Decode(m_dir / "cmyk.jpg"), m_buffer.data());
    EXPECT_EQ(m_nWidth, 80u);
    EXPECT_EQ(m_nHeight, 60u);
    EXPECT_EQ(m_buffer[0], 0x5A);
    EXPECT_EQ(m_buffer[80 * 60 * 3 - 1], 0x5A);
    EXPECT_TRUE(m_recorder.boxes.empty());
}

TEST_F(JpegDecode, OnlyRegularFilesAreOpened) {
    // A FIFO would block the open until a writer comes; a device never ends.
    const std::string fifo = m_dir / "Picture 0001.jpg";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string device = m_dir / "Picture 0002.jpg";
    ASSERT_EQ(symlink("/dev/zero", device.c_str()), 0);
    const int descriptors = OpenDescriptorCount();

    for (const std::string& path : {fifo, device}) {
        EXPECT_EQ(Decode(path), nullptr) << path;
        EXPECT_EQ(m_nWidth, 0u);
    }
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    ASSERT_EQ(m_recorder.boxes.size(), 2u);
    EXPECT_EQ(m_recorder.boxes[0].text, "JPEG :\nCan't open " + fifo + "\n");
    EXPECT_EQ(m_recorder.boxes[1].text, "JPEG :\nCan't open " + device + "\n");
}

TEST_F(JpegDecode, WorkIsBoundedWhateverTheFileHolds) {
    // Too many scans: the read gives up with one message.
    ASSERT_TRUE(WriteProgressiveJpeg(m_dir / "scans.jpg", 80, 60, MAX_DECODE_SCANS + 1));
    EXPECT_EQ(Decode(m_dir / "scans.jpg"), nullptr);
    EXPECT_EQ(m_nWidth, 0u);
    ASSERT_EQ(m_recorder.boxes.size(), 1u);
    EXPECT_EQ(m_recorder.boxes[0].caption, "JPEG Fatal Error");
    EXPECT_EQ(m_recorder.boxes[0].text, "Picture has more than 100 scans; not read");

    // Once every row is out nothing more is read: a missing end marker and
    // any junk after the picture go unnoticed.
    WriteTestJpeg(m_dir / "padded.jpg", 80, 60);
    std::string bytes = ReadFileBytes(m_dir / "padded.jpg");
    ASSERT_EQ(bytes.substr(bytes.size() - 2), "\xFF\xD9");
    bytes.resize(bytes.size() - 2);
    WriteFileBytes(m_dir / "padded.jpg", bytes + std::string(1 << 20, '\0'));
    EXPECT_EQ(Decode(m_dir / "padded.jpg"), m_buffer.data());
    EXPECT_EQ(m_nWidth, 80u);
    EXPECT_EQ(m_recorder.boxes.size(), 1u) << m_recorder.boxes.back().text;

    // A progressive file reads on to its end marker before the first row:
    // the data it takes in is bounded instead. A hole costs no disk space.
    ASSERT_TRUE(WriteProgressiveJpeg(m_dir / "long.jpg", 80, 60, 10));
    bytes = ReadFileBytes(m_dir / "long.jpg");
    WriteFileBytes(m_dir / "long.jpg", bytes.substr(0, bytes.size() - 2));
    ASSERT_EQ(truncate((m_dir / "long.jpg").c_str(), off_t(MAX_DECODE_BYTES) + 1), 0);
    EXPECT_EQ(Decode(m_dir / "long.jpg"), nullptr);
    ASSERT_EQ(m_recorder.boxes.size(), 2u);
    EXPECT_EQ(m_recorder.boxes[1].text, "Picture data runs on past 64 MB; not read");
}
