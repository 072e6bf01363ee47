// Frame conversion cost: our table method against libyuv (the fastest converters around)
// and a memcpy of the output size (the floor), plus Motion JPEG decoding.
// Run by hand: build/bin/capture_conversion_bench

#include "ScriptedCapture.h"

#include "capture/FourCC.h"
#include "capture/Jpeg.h"
#include "capture/TVideoImage.h"

#include <QGuiApplication>
#include <QPainter>

#include <benchmark/benchmark.h>
#include <libyuv.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> noise(size_t size)
{
    std::vector<std::uint8_t> bytes(size);
    std::mt19937 gen(7);
    for (auto& b : bytes)
        b = std::uint8_t(gen());
    return bytes;
}

// A TVideoImage whose stream has the given format.
struct Stream
{
    Stream(int width, int height, std::uint32_t fourCC)
    {
        auto camera = platform.addDevice(QStringLiteral("Bench"));
        camera->current = scriptedFormat(width, height, fourCC);
        camera->capabilities = {camera->current};
        image = std::make_unique<TVideoImage>(&platform);
        if (image->VideoStart(QString()) != 0)
            std::abort();
        image->PrepareTables();
    }
    ScriptedPlatform platform;
    std::unique_ptr<TVideoImage> image;
};

void BM_Table_YUY2(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    Stream s(w, h, FourCC_YUY2);
    const auto frame = noise(size_t(w) * h * 2);
    for (auto _ : state) {
        s.image->YUY2_to_RGB(frame.data());
        benchmark::DoNotOptimize(s.image->Bitmap().constBits());
    }
}

void BM_Table_I420(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    Stream s(w, h, FourCC_I420);
    const auto frame = noise(size_t(w) * h * 3 / 2);
    for (auto _ : state) {
        s.image->I420_to_RGB(frame.data());
        benchmark::DoNotOptimize(s.image->Bitmap().constBits());
    }
}

// libyuv has no one-pass YUY2 to 24-bit; its route is YUY2 -> ARGB -> RGB24.
void BM_Libyuv_YUY2(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    const auto frame = noise(size_t(w) * h * 2);
    std::vector<std::uint8_t> argb(size_t(w) * h * 4), rgb(size_t(w) * h * 3);
    for (auto _ : state) {
        libyuv::YUY2ToARGB(frame.data(), w * 2, argb.data(), w * 4, w, h);
        libyuv::ARGBToRGB24(argb.data(), w * 4, rgb.data(), w * 3, w, h);
        benchmark::DoNotOptimize(rgb.data());
    }
}

void BM_Libyuv_YUY2_ARGBOnly(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    const auto frame = noise(size_t(w) * h * 2);
    std::vector<std::uint8_t> argb(size_t(w) * h * 4);
    for (auto _ : state) {
        libyuv::YUY2ToARGB(frame.data(), w * 2, argb.data(), w * 4, w, h);
        benchmark::DoNotOptimize(argb.data());
    }
}

void BM_Libyuv_I420(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    const auto frame = noise(size_t(w) * h * 3 / 2);
    std::vector<std::uint8_t> rgb(size_t(w) * h * 3);
    const std::uint8_t* y = frame.data();
    const std::uint8_t* u = y + size_t(w) * h;
    const std::uint8_t* v = u + size_t(w) * h / 4;
    for (auto _ : state) {
        libyuv::I420ToRGB24(y, w, u, w / 2, v, w / 2, rgb.data(), w * 3, w, h);
        benchmark::DoNotOptimize(rgb.data());
    }
}

void BM_Memcpy_Output(benchmark::State& state)
{
    const size_t size = size_t(state.range(0)) * size_t(state.range(1)) * 3;
    const auto from = noise(size);
    std::vector<std::uint8_t> to(size);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), size);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

void BM_MJPEG_Decode(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    // A camera-like picture: gradients and bars, not noise (noise would not be a fair JPEG).
    QImage picture(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture.setPixel(x, y, qRgb((x * 255 / w), (y * 255 / h), ((x / 64 + y / 64) % 2) * 200));
    const QByteArray jpeg = Jpeg::encode(picture, 85);
    QImage target(w, h, QImage::Format_BGR888);
    for (auto _ : state) {
        Jpeg::decodeOnto(reinterpret_cast<const unsigned char*>(jpeg.constData()), size_t(jpeg.size()),
                         target);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["jpeg_bytes"] = double(jpeg.size());
}

// Also the whole interface-thread step for one Motion JPEG frame: decode and paint the
// visible 320 x 240 corner.
void BM_MJPEG_UnpackAndPaint(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    QImage picture(w, h, QImage::Format_RGB888);
    picture.fill(QColor(120, 140, 160));
    const QByteArray jpeg = Jpeg::encode(picture, 85);
    Stream s(w, h, FourCC_MJPG);
    QImage canvas(320, 240, QImage::Format_RGB32);
    for (auto _ : state) {
        s.image->UnpackFrame(std::int32_t(jpeg.size()),
                             reinterpret_cast<const std::uint8_t*>(jpeg.constData()));
        QPainter p(&canvas);
        p.drawImage(0, 0, s.image->Bitmap());
    }
}

BENCHMARK(BM_Memcpy_Output)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Libyuv_YUY2_ARGBOnly)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Libyuv_YUY2)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Table_YUY2)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Libyuv_I420)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Table_I420)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MJPEG_Decode)->Args({1280, 720})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MJPEG_UnpackAndPaint)->Args({1280, 720})->Unit(benchmark::kMicrosecond);

// Prints the ratios of the table method to libyuv and to the memcpy floor after the runs.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_ns[run.benchmark_name()] = run.GetAdjustedRealTime() * 1000.0; // unit is µs
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nns per frame and ratios (same run)\n");
        for (const char* size : {"640/480", "1920/1080"}) {
            for (const char* format : {"YUY2", "I420"}) {
                const double table = at(std::string("BM_Table_") + format + "/" + size);
                const double yuv = at(std::string("BM_Libyuv_") + format + "/" + size);
                const double floor = at(std::string("BM_Memcpy_Output/") + size);
                if (table <= 0 || yuv <= 0 || floor <= 0)
                    continue;
                std::printf("%-4s %-9s table %10.0f ns  libyuv %10.0f ns  memcpy %9.0f ns  "
                            "table/libyuv %5.2f  table/memcpy %5.2f\n",
                            format, size, table, yuv, floor, table / yuv, table / floor);
            }
        }
        const double mjpeg = at("BM_MJPEG_Decode/1280/720");
        if (mjpeg > 0)
            std::printf("MJPG 1280/720 decode %.0f ns (%.1f %% of a core at 30 fps)\n", mjpeg,
                        mjpeg * 30 / 1e7);
    }

private:
    double at(const std::string& name) const
    {
        const auto found = m_ns.find(name);
        return found == m_ns.end() ? -1 : found->second;
    }
    std::map<std::string, double> m_ns;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
