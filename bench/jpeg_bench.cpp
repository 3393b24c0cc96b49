// JpegFile's photo write (quality 90) and full read, beside libjpeg-turbo's own
// tools on the same pictures, measured in the same run.
//
// What is measured: CPU time (user + system), not wall time, on every side.
// The machine this runs on is usually shared, and waiting for a core is not
// work; CPU time is the part of the cost that belongs to the code.
//
// cjpeg and djpeg: each run is a whole process, so its time holds process
// start, dynamic linking and file set-up besides the coding. The same tool run
// on an 8 x 8 picture costs all of that and almost no coding; its median is
// subtracted from the tool's median on the real picture ("net"). cjpeg reads a
// PPM and djpeg writes one (to /dev/null), which JpegFile does not do: the net
// figures still carry that bit of extra work.
//
// tjbench: libjpeg-turbo's own in-process benchmark (TurboJPEG API, 4:2:0,
// the same DCT), run on the same PPM; it reports a mean throughput over its
// run time, not a median, and times wall clock, so on a busy machine it reads
// slow. It is the library with no files at all, a second opinion only.
//
// The runs of JpegFile, the tool and the tool's baseline are interleaved. Files
// live on a tmpfs when there is one (/dev/shm), so the photo's fsync costs no
// disk time and the figures are coding, not storage.

#include "library/jpeg_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int RUNS = 101;
constexpr int WARM_UP_RUNS = 3;

// Smooth gradients with sensor-like noise: what a webcam frame compresses like.
std::vector<unsigned char> CameraLikePicture(std::uint32_t width, std::uint32_t height) {
    std::vector<unsigned char> picture(std::size_t{width} * height * 3);
    std::uint32_t state = 2463534242u;
    std::size_t i = 0;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const int base[3] = {static_cast<int>(255 * x / width),
                                 static_cast<int>(255 * y / height),
                                 static_cast<int>(128 + 100 * (x + y) / (width + height)) - 50};
            for (int c = 0; c < 3; ++c) {
                state ^= state << 13, state ^= state >> 17, state ^= state << 5;
                const int noise = static_cast<int>(state % 13) - 6;
                picture[i++] = static_cast<unsigned char>(std::clamp(base[c] + noise, 0, 255));
            }
        }
    }
    return picture;
}

bool WritePpm(const std::string& path, const std::vector<unsigned char>& rgb, std::uint32_t width,
              std::uint32_t height) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::fprintf(file, "P6\n%u %u\n255\n", width, height);
    const bool bWritten = std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
    return std::fclose(file) == 0 && bWritten;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

double CpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double Milliseconds(const timeval& time) {
    return time.tv_sec * 1e3 + time.tv_usec / 1e3;
}

std::vector<char*> Argv(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    return argv;
}

// Runs a program to its end; its CPU time in ms, or a negative value when it
// could not be started or failed.
double TimeProcess(const std::vector<std::string>& args) {
    auto argv = Argv(args);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return Milliseconds(usage.ru_utime) + Milliseconds(usage.ru_stime);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Figures {
    double ours = 0;
    double tool = 0;
    double toolStart = 0;
    double ToolNet() const { return tool - toolStart; }
};

// Times ours() beside the tool on the picture and on the 8 x 8 baseline.
template <typename Ours>
bool Measure(Ours ours, const std::vector<std::string>& tool,
             const std::vector<std::string>& toolBaseline, Figures& figures) {
    std::vector<double> oursMs, toolMs, baselineMs;
    for (int run = 0; run < WARM_UP_RUNS + RUNS; ++run) {
        const double o = ours();
        const double t = TimeProcess(tool);
        const double b = TimeProcess(toolBaseline);
        if (o < 0 || t < 0 || b < 0)
            return false;
        if (run >= WARM_UP_RUNS) {
            oursMs.push_back(o);
            toolMs.push_back(t);
            baselineMs.push_back(b);
        }
    }
    figures = {Median(oursMs), Median(toolMs), Median(baselineMs)};
    return true;
}

// tjbench's compress and decompress throughput in megapixels per second, from
// the last line of its table output.
bool RunTjbench(const std::string& ppm, double& compressMpps, double& decompressMpps) {
    const std::string command =
        "tjbench '" + ppm +
        "' 90 -rgb -subsamp 420 -accuratedct -quiet -nowrite -benchtime 2 -warmup 0.5 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return false;
    std::string output;
    char chunk[512];
    while (std::fgets(chunk, sizeof chunk, pipe))
        output = chunk[0] != '\n' ? chunk : output;
    if (pclose(pipe) != 0)
        return false;
    // "RGB  (TD)  4:2:0    90    640    480     311.1   20.61   251.2"
    std::istringstream line(output);
    std::string format, order, subsampling;
    int quality = 0, width = 0, height = 0;
    double ratio = 0;
    line >> format >> order >> subsampling >> quality >> width >> height >> compressMpps >> ratio >>
        decompressMpps;
    return !line.fail() && compressMpps > 0 && decompressMpps > 0;
}

std::string WorkFolder() {
    std::string pattern = access("/dev/shm", W_OK) == 0
                              ? "/dev/shm/vizor-bench-XXXXXX"
                              : std::filesystem::temp_directory_path() / "vizor-bench-XXXXXX";
    return mkdtemp(pattern.data()) ? pattern : std::string();
}

void PrintRow(const char* what, const char* tool, const Figures& f, double tjbenchMs) {
    std::printf("  %-6s JpegFile %6.2f ms | %s net %6.2f ms (run %6.2f - start %5.2f) | "
                "tjbench %6.2f ms | JpegFile/%s %.2f, JpegFile/tjbench %.2f\n",
                what, f.ours, tool, f.ToolNet(), f.tool, f.toolStart, tjbenchMs, tool,
                f.ours / f.ToolNet(), f.ours / tjbenchMs);
}

bool BenchSize(const std::string& folder, std::uint32_t width, std::uint32_t height,
               std::vector<unsigned char>& decodeBuffer) {
    const auto picture = CameraLikePicture(width, height);
    const std::string ppm = folder + "/input.ppm";
    const std::string tinyPpm = folder + "/tiny.ppm";
    if (!WritePpm(ppm, picture, width, height) || !WritePpm(tinyPpm, CameraLikePicture(8, 8), 8, 8))
        return false;

    // Each write needs a new name: JpegFile never replaces a photo.
    const std::string photo = folder + "/Picture 0000.jpg";
    auto encode = [&]() {
        std::filesystem::remove(photo);
        const double start = CpuMilliseconds();
        const bool bWritten = JpegFile::EncodeFromRgb(photo, picture.data(), width, height, 1, 90);
        return bWritten ? CpuMilliseconds() - start : -1.0;
    };
    Figures encodeFigures;
    if (!Measure(encode, {"cjpeg", "-quality", "90", "-outfile", folder + "/cjpeg.jpg", ppm},
                 {"cjpeg", "-quality", "90", "-outfile", folder + "/tiny.jpg", tinyPpm},
                 encodeFigures))
        return false;

    auto decode = [&]() {
        std::uint32_t w = 0, h = 0;
        const double start = CpuMilliseconds();
        const bool bRead = JpegFile::DecodeToRgb(photo, w, h, decodeBuffer.data()) != nullptr;
        return bRead && w == width && h == height ? CpuMilliseconds() - start : -1.0;
    };
    Figures decodeFigures;
    if (!Measure(decode, {"djpeg", "-outfile", "/dev/null", photo},
                 {"djpeg", "-outfile", "/dev/null", folder + "/tiny.jpg"}, decodeFigures))
        return false;

    double compressMpps = 0, decompressMpps = 0;
    if (!RunTjbench(ppm, compressMpps, decompressMpps))
        return false;
    const double megapixels = width * double(height) / 1e6;

    // Same settings give the same bytes: then both sides did the same work.
    const std::string ours = ReadWholeFile(photo);
    const std::string theirs = ReadWholeFile(folder + "/cjpeg.jpg");
    std::printf("%ux%u (JpegFile's file %zu bytes, cjpeg's %s)\n", width, height, ours.size(),
                ours == theirs ? "identical" : "DIFFERENT");
    PrintRow("encode", "cjpeg", encodeFigures, megapixels / compressMpps * 1e3);
    PrintRow("decode", "djpeg", decodeFigures, megapixels / decompressMpps * 1e3);
    return true;
}

} // namespace

int main() {
    const std::string folder = WorkFolder();
    if (folder.empty()) {
        std::fprintf(stderr, "jpeg_bench: no work folder\n");
        return 1;
    }
    std::printf("JPEG quality 90 encode and full decode: median CPU time of %d runs "
                "(tjbench: mean over 2 s), work folder %s\n",
                RUNS, folder.c_str());
    std::vector<unsigned char> decodeBuffer(std::size_t{JpegFile::MAX_DECODE_SIDE} *
                                            JpegFile::MAX_DECODE_SIDE * 3);
    bool bOk = true;
    for (const auto& [width, height] :
         {std::pair<std::uint32_t, std::uint32_t>{640, 480}, {1280, 1024}}) {
        if (!BenchSize(folder, width, height, decodeBuffer)) {
            std::fprintf(stderr,
                         "jpeg_bench: %ux%u failed (are cjpeg, djpeg and tjbench installed?)\n",
                         width, height);
            bOk = false;
            break;
        }
    }
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return bOk ? 0 : 1;
}
