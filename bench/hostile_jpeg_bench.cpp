// How long JpegFile's read holds the UI thread on hostile photo files, beside
// an ordinary 3000 x 3000 photo read in the same run. The strip decodes on the
// UI thread, so no file of any content may hold it for long (aim: 0.5 s).
//
// Wall time is measured, since the window freezes for wall time, with CPU
// time beside it: on a shared machine the two differ by the waiting for a
// core. Files live on a tmpfs when there is one (/dev/shm).

#include "library/jpeg_decode_bounds.h"
#include "library/jpeg_file.h"
#include "platform/message_box.h"
#include "platform/win_types.h" // before jpeglib.h, which defines TRUE and FALSE

#include <jpeglib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int RUNS = 7;
constexpr std::uint32_t SIDE = 3000;

std::vector<unsigned char> NoisyPicture(std::uint32_t width, std::uint32_t height) {
    std::vector<unsigned char> picture(std::size_t{width} * height * 3);
    std::uint32_t state = 2463534242u;
    for (std::size_t i = 0; i < picture.size(); ++i) {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        picture[i] = static_cast<unsigned char>((i / 3 % width) * 255 / width + (state & 31));
    }
    return picture;
}

// scans empty: baseline; otherwise that scan script (progressive).
void WriteJpeg(const std::string& path, std::uint32_t side,
               const std::vector<jpeg_scan_info>& scans) {
    FILE* file = std::fopen(path.c_str(), "wb");
    jpeg_error_mgr err;
    jpeg_compress_struct cinfo;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = side;
    cinfo.image_height = side;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    if (!scans.empty()) {
        cinfo.scan_info = scans.data();
        cinfo.num_scans = static_cast<int>(scans.size());
    }
    jpeg_start_compress(&cinfo, TRUE);
    const auto picture = NoisyPicture(side, side);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&picture[std::size_t{cinfo.next_scanline} * side * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(file);
}

// A DC scan, then every AC coefficient of every component in a scan of its
// own, cut to `count` scans in all: valid progressive files with many scans.
std::vector<jpeg_scan_info> OneCoefficientScans(int count) {
    std::vector<jpeg_scan_info> scans{{3, {0, 1, 2, 0}, 0, 0, 0, 0}};
    for (int k = 1; k < 64 && int(scans.size()) < count; ++k)
        for (int c = 0; c < 3 && int(scans.size()) < count; ++c)
            scans.push_back({1, {c, 0, 0, 0}, k, k, 0, 0});
    return scans;
}

// Cuts the end marker off and pads the file with a hole up to 4 GB.
void DropEndAndPad(const std::string& path) {
    std::filesystem::resize_file(path, std::filesystem::file_size(path) - 2);
    std::filesystem::resize_file(path, std::uintmax_t{4} << 30);
}

// 20000 copies of the picture's last scan before its end marker.
void RepeatLastScan(const std::string& path, int copies) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    const auto sos = bytes.rfind("\xFF\xDA");
    const std::string scan = bytes.substr(sos, bytes.size() - 2 - sos);
    std::string out = bytes.substr(0, bytes.size() - 2);
    for (int i = 0; i < copies; ++i)
        out += scan;
    out += "\xFF\xD9";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << out;
}

double CpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

void Measure(const char* what, const std::string& path, std::vector<unsigned char>& buffer) {
    std::vector<double> wall, cpu;
    bool bRead = false;
    for (int run = 0; run < RUNS; ++run) {
        std::uint32_t width = 0, height = 0;
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = CpuSeconds();
        bRead = JpegFile::DecodeToRgb(path, width, height, buffer.data()) != nullptr;
        cpu.push_back(CpuSeconds() - cpuStart);
        wall.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-44s %-6s median %7.3f s wall (max %7.3f), %7.3f s CPU\n", what,
                bRead ? "read" : "failed", wall[RUNS / 2], wall.back(), cpu[RUNS / 2]);
}

} // namespace

int main() {
    SetMessageBoxHook([](const MessageBoxRequest&) { return IDOK; });
    const std::string root = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
    const std::string dir = root + "/hostile-jpeg-" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    std::vector<unsigned char> buffer(std::size_t{SIDE} * SIDE * 3);

    WriteJpeg(dir + "/baseline.jpg", SIDE, {});
    Measure("3000x3000 baseline (the ordinary photo)", dir + "/baseline.jpg", buffer);

    WriteJpeg(dir + "/limit.jpg", SIDE, OneCoefficientScans(MAX_DECODE_SCANS));
    Measure("3000x3000 progressive, scans at the limit", dir + "/limit.jpg", buffer);

    WriteJpeg(dir + "/over.jpg", SIDE, OneCoefficientScans(MAX_DECODE_SCANS + 1));
    Measure("3000x3000 progressive, one scan over", dir + "/over.jpg", buffer);

    WriteJpeg(dir + "/tiny.jpg", 640, OneCoefficientScans(10));
    RepeatLastScan(dir + "/tiny.jpg", 20000);
    Measure("640x640 progressive, 20000 repeated scans", dir + "/tiny.jpg", buffer);

    // Sparse 4 GB files: a hole costs no space on the tmpfs.
    WriteJpeg(dir + "/padded.jpg", SIDE, {});
    DropEndAndPad(dir + "/padded.jpg");
    Measure("3000x3000 baseline, no end, 4 GB of zeros", dir + "/padded.jpg", buffer);

    WriteJpeg(dir + "/padded-prog.jpg", SIDE, OneCoefficientScans(10));
    DropEndAndPad(dir + "/padded-prog.jpg");
    Measure("3000x3000 progressive, no end, 4 GB of zeros", dir + "/padded-prog.jpg", buffer);

    std::filesystem::remove_all(dir);
    return 0;
}
