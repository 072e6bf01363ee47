// CPU cost of a 30 fps 1280 x 720 Motion JPEG camera: decode, conversion and painting of
// the live picture, measured over a few seconds with a videotestsrc-fed device.
// The test source encodes its own JPEG frames in this process, so the run is made twice:
// with a live picture (everything) and without (source, encoder and ring copy only); the
// difference, and the interface thread's own CPU time, are the camera's cost.
// Run by hand: build/bin/capture_mjpeg_cpu [seconds]

#include "capture/GstCapturePlatform.h"
#include "capture/TVideoImage.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <ctime>

namespace {

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double wallSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

void runLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Result
{
    double processPercent, interfacePercent, fps;
    int frames, skipped, paints;
};

Result measure(bool livePicture, int seconds)
{
    DeviceListPlatform platform({std::make_shared<GstDescribedDevice>(
        QStringLiteral("Bench Camera"), "videotestsrc is-live=true pattern=smpte ! jpegenc",
        "image/jpeg,width=1280,height=720,framerate=30/1")});
    TVideoImage video(&platform);
    QImage canvas(320, 240, QImage::Format_RGB32);
    int paints = 0;
    if (livePicture)
        video.SetDisplayCanvas(&canvas, [&] { ++paints; });
    if (video.VideoStart(QString()) != 0) {
        std::fprintf(stderr, "camera did not start\n");
        std::exit(1);
    }
    runLoop(1000); // settle
    const int frames0 = video.FramesReceived(), skipped0 = video.FramesSkipped(), paints0 = paints;
    const double p0 = processCpuSeconds(), t0 = threadCpuSeconds(), w0 = wallSeconds();
    runLoop(seconds * 1000);
    const double wall = wallSeconds() - w0;
    Result r{100 * (processCpuSeconds() - p0) / wall,
             100 * (threadCpuSeconds() - t0) / wall,
             video.FramesPerSecond(),
             video.FramesReceived() - frames0,
             video.FramesSkipped() - skipped0,
             paints - paints0};
    video.VideoStop();
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;

    const Result without = measure(false, seconds);
    const Result with = measure(true, seconds);
    for (const auto& [name, r] : {std::pair{"no live picture", without}, std::pair{"live picture", with}})
        std::printf("%-16s process %5.1f %%  interface thread %5.1f %%  fps %4.1f  frames %d  skipped %d  "
                    "painted %d\n",
                    name, r.processPercent, r.interfacePercent, r.fps, r.frames, r.skipped, r.paints);
    std::printf("camera cost (decode, conversion, painting): %.1f %% of one core by difference, "
                "%.1f %% on the interface thread\n",
                with.processPercent - without.processPercent, with.interfacePercent);
    return 0;
}
