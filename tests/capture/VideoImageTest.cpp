#include "ScriptedCapture.h"

#include "capture/FourCC.h"
#include "capture/GstCapturePlatform.h"
#include "capture/TVideoImage.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// Runs the interface thread's event loop, which blocks between events and so reports idle
// moments, until `done` holds or the time is up.
bool runLoopUntil(const std::function<bool()>& done, int timeoutMs)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start(10);
    loop.exec();
    return done();
}

void runLoopFor(int ms)
{
    runLoopUntil([] { return false; }, ms);
}

std::shared_ptr<GstDescribedDevice> testCamera(const char* source, const char* caps)
{
    return std::make_shared<GstDescribedDevice>(QStringLiteral("Test Camera"), source, caps);
}

struct Colour
{
    int r, g, b;
};

Colour at(const QImage& bgr, int x, int y)
{
    const uchar* p = bgr.constScanLine(y) + 3 * x;
    return {p[2], p[1], p[0]};
}

::testing::AssertionResult near(Colour got, Colour want, int tolerance)
{
    if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
        std::abs(got.b - want.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << got.r << "," << got.g << "," << got.b << " want "
                                         << want.r << "," << want.g << "," << want.b;
}

// The live picture box: a 320 x 240 canvas and a count of the paintings shown on it.
struct Canvas
{
    QImage image{320, 240, QImage::Format_RGB32};
    int paints = 0;
    explicit Canvas(TVideoImage& video)
    {
        image.fill(Qt::black);
        video.SetDisplayCanvas(&image, [this] { ++paints; });
    }
};

struct PipelineCase
{
    const char* name;
    const char* source;
    const char* caps;
    std::uint32_t fourCC;
    int tolerance;
};

class VideoImagePipeline : public ::testing::TestWithParam<PipelineCase>
{};

TEST_P(VideoImagePipeline, FramesReachTheInterfaceThreadAndGetBitmapReturnsThePicture)
{
    const PipelineCase& c = GetParam();
    DeviceListPlatform platform({testCamera(c.source, c.caps)});
    TVideoImage video(&platform);
    Canvas canvas(video);

    ASSERT_EQ(video.VideoStart(QStringLiteral("test camera")), 0);
    EXPECT_EQ(video.VideoWidth(), 320);
    EXPECT_EQ(video.VideoHeight(), 240);
    EXPECT_EQ(video.VideoFourCC(), c.fourCC);
    ASSERT_TRUE(runLoopUntil([&] { return canvas.paints >= 3; }, 5000)) << "no frames painted";

    QImage photo;
    video.GetBitmap(photo);
    video.VideoStop();
    ASSERT_EQ(photo.size(), QSize(320, 240));
    ASSERT_EQ(photo.depth(), 24);

    // SMPTE bars: white, yellow ... blue across the top; the bottom strip starts dark blue,
    // so a picture upside down fails.
    const int bar = 320 / 7;
    EXPECT_TRUE(near(at(photo, bar / 2, 10), {255, 255, 255}, c.tolerance));
    EXPECT_TRUE(near(at(photo, bar + bar / 2, 10), {255, 255, 0}, c.tolerance));
    EXPECT_TRUE(near(at(photo, 5 * bar + bar / 2, 10), {255, 0, 0}, c.tolerance));
    EXPECT_TRUE(near(at(photo, 6 * bar + bar / 2, 10), {0, 0, 255}, c.tolerance));
    const Colour bottom = at(photo, bar / 2, 230);
    EXPECT_TRUE(bottom.b > 100 && bottom.r < 30 && bottom.g < 80)
        << bottom.r << "," << bottom.g << "," << bottom.b;

    // The canvas shows the same frame, drawn unscaled.
    const QImage shown = canvas.image.convertToFormat(QImage::Format_BGR888);
    EXPECT_TRUE(near(at(shown, 6 * bar + bar / 2, 10), {0, 0, 255}, c.tolerance));
}

INSTANTIATE_TEST_SUITE_P(
    VideoImage, VideoImagePipeline,
    ::testing::Values(
        PipelineCase{"yuy2", "videotestsrc is-live=true",
                     "video/x-raw,format=YUY2,width=320,height=240,framerate=30/1", FourCC_YUY2, 6},
        PipelineCase{"i420", "videotestsrc is-live=true",
                     "video/x-raw,format=I420,width=320,height=240,framerate=30/1", FourCC_I420, 6},
        PipelineCase{"yv12", "videotestsrc is-live=true",
                     "video/x-raw,format=YV12,width=320,height=240,framerate=30/1", FourCC_YV12, 6},
        PipelineCase{"rgb24", "videotestsrc is-live=true",
                     "video/x-raw,format=BGR,width=320,height=240,framerate=30/1", 0, 1},
        PipelineCase{"rgb24RedFirst", "videotestsrc is-live=true",
                     "video/x-raw,format=RGB,width=320,height=240,framerate=30/1", 0, 1},
        // jpegenc stores the studio range (16 to 235) as it is, so white decodes as 235.
        PipelineCase{"mjpeg", "videotestsrc is-live=true ! jpegenc",
                     "image/jpeg,width=320,height=240,framerate=30/1", FourCC_MJPG, 24}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VideoImage, ResolutionListAndSizeChangeOnARealPipeline)
{
    DeviceListPlatform platform({testCamera("videotestsrc is-live=true",
                                            "video/x-raw,format=YUY2,width=640,height=480,framerate=30/1;"
                                            "video/x-raw,format=I420,width=160,height=120,framerate=30/1;"
                                            "video/x-raw,format=YUY2,width=320,height=240,framerate=30/1")});
    TVideoImage video(&platform);
    Canvas canvas(video);
    ASSERT_EQ(video.VideoStart(QString()), 0);
    EXPECT_EQ(video.VideoWidth(), 640) << "starts in the device's first format";

    QStringList sizes;
    video.GetListOfSupportedVideoSizes(sizes);
    EXPECT_EQ(sizes, (QStringList{QStringLiteral("160*120  (I420)"), QStringLiteral("320*240  (YUY2)"),
                                  QStringLiteral("640*480  (YUY2)")}));

    video.SetResolutionByIndex(8); // fewer than nine sizes: the format stays
    EXPECT_EQ(video.VideoWidth(), 640);

    video.SetResolutionByIndex(0);
    EXPECT_EQ(video.VideoWidth(), 160);
    EXPECT_EQ(video.VideoHeight(), 120);
    EXPECT_EQ(video.VideoFourCC(), FourCC_I420);
    const int before = canvas.paints;
    ASSERT_TRUE(runLoopUntil([&] { return canvas.paints >= before + 3; }, 5000));
    QImage photo;
    video.GetBitmap(photo);
    EXPECT_EQ(photo.size(), QSize(160, 120));
    EXPECT_TRUE(near(at(photo, 160 / 14, 5), {255, 255, 255}, 6));
}

TEST(VideoImage, FormatDialogChoiceIsTakenOverAfterTheDialogCloses)
{
    DeviceListPlatform platform({testCamera("videotestsrc is-live=true",
                                            "video/x-raw,format=YUY2,width=320,height=240,framerate=30/1;"
                                            "video/x-raw,format=I420,width=160,height=120,framerate=30/1")});
    TVideoImage video(&platform);
    Canvas canvas(video);
    QStringList offered;
    video.SetPropertyDialog([&](const QString&, CaptureProperties& properties) {
        offered = properties.formats();
        EXPECT_EQ(properties.currentFormat(), 1);
        properties.selectFormat(0);
    });
    ASSERT_EQ(video.VideoStart(QString()), 0);
    ASSERT_EQ(video.VideoWidth(), 320);

    video.ShowProperty_Stream();
    EXPECT_EQ(offered, (QStringList{QStringLiteral("160*120  (I420)"), QStringLiteral("320*240  (YUY2)")}));
    EXPECT_EQ(video.VideoWidth(), 160);
    EXPECT_EQ(video.VideoFourCC(), FourCC_I420);
    const int before = canvas.paints;
    EXPECT_TRUE(runLoopUntil([&] { return canvas.paints >= before + 3; }, 5000)) << "frames flow again";
}

TEST(VideoImage, ImageControlsOfARealColourBalance)
{
    DeviceListPlatform platform({testCamera("videotestsrc is-live=true ! videobalance",
                                            "video/x-raw,format=I420,width=160,height=120,framerate=30/1")});
    TVideoImage video(&platform);
    ASSERT_EQ(video.VideoStart(QString()), 0);

    std::int32_t min, max, step, def, actual;
    bool automatic = true;
    ASSERT_EQ(video.GetVideoPropertySettings(VP_Brightness, min, max, step, def, actual, automatic), 0);
    EXPECT_LT(min, 0);
    EXPECT_GT(max, 0);
    EXPECT_EQ(actual, def);
    EXPECT_FALSE(automatic);
    ASSERT_EQ(video.SetVideoPropertySettings(VP_Brightness, max / 2, false), 0);
    ASSERT_EQ(video.GetVideoPropertySettings(VP_Brightness, min, max, step, def, actual, automatic), 0);
    EXPECT_EQ(actual, max / 2);

    // videobalance has no gain: the defaults come back with the failure.
    EXPECT_LT(video.GetVideoPropertySettings(VP_Gain, min, max, step, def, actual, automatic), 0);
    EXPECT_EQ(min, -1);
    EXPECT_TRUE(automatic);
}

TEST(VideoImage, StartingAndStoppingWhileFramesFlowNeverHangs)
{
    DeviceListPlatform platform({testCamera("videotestsrc is-live=true",
                                            "video/x-raw,format=YUY2,width=320,height=240,framerate=120/1")});
    TVideoImage video(&platform);
    Canvas canvas(video);
    for (int round = 0; round < 4; ++round) {
        ASSERT_EQ(video.VideoStart(QString()), 0) << round;
        const int before = canvas.paints;
        ASSERT_TRUE(runLoopUntil([&] { return canvas.paints > before; }, 5000)) << round;
        if (round % 2 == 0) {
            ASSERT_EQ(video.VideoStart(QString()), 0) << "restart while running, round " << round;
        }
        video.VideoStop();
    }
    // Events posted before the last stop still arrive; they repaint the last frame.
    runLoopFor(50);
    QImage afterStop;
    video.GetBitmap(afterStop);
    EXPECT_EQ(afterStop.size(), QSize(320, 240));
    EXPECT_TRUE(near(at(afterStop, 320 / 7 * 6 + 320 / 14, 10), {0, 0, 255}, 6)) << "last painted frame kept";
}

TEST(VideoImage, FailedStartReturnsOneAndLeavesNoGraph)
{
    DeviceListPlatform platform({testCamera("no-such-element", "video/x-raw,format=YUY2,width=8,height=8")});
    TVideoImage video(&platform);
    EXPECT_EQ(video.VideoStart(QString()), 1);
    EXPECT_EQ(video.VideoStart(QStringLiteral("#2")), 1);
    EXPECT_FALSE(video.IsPaused());
}

// --- the two gates, with a scripted camera fed from a thread of its own -----------------

// A streaming thread for a scripted 2 x 2 YUY2 camera: frame n has luma n % 220 + 16.
class Feeder
{
public:
    explicit Feeder(ScriptedCamera& camera) : m_camera(camera)
    {
        m_thread = std::thread([this] {
            while (!m_stop) {
                const int n = m_sent.load() + 1;
                const auto y = std::uint8_t(16 + n % 220);
                m_camera.deliver({y, 128, y, 128, y, 128, y, 128});
                m_sent = n;
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
    }
    ~Feeder() { stop(); }
    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    int sent() const { return m_sent; }

private:
    ScriptedCamera& m_camera;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_sent{0};
    std::thread m_thread;
};

TEST(VideoImage, BlockedInterfaceThreadDropsFramesAndResumesWithTheNewest)
{
    ScriptedPlatform platform;
    auto camera = platform.addDevice(QStringLiteral("Cam"));
    camera->current = camera->capabilities[0] = scriptedFormat(2, 2, FourCC_YUY2);
    TVideoImage video(&platform);
    Canvas canvas(video);
    std::vector<int> painted; // luma of each painted frame's first pixel, as frame numbers
    video.SetOnNewVideoFrame([&](TVideoImage&, std::int32_t, std::int32_t, const std::uint8_t* data) {
        painted.push_back(data[0]);
    });
    ASSERT_EQ(video.VideoStart(QString()), 0);

    Feeder feeder(*camera);
    ASSERT_TRUE(runLoopUntil([&] { return canvas.paints >= 10; }, 3000));
    const int skippedBefore = video.FramesSkipped();

    // Block the interface thread for two seconds: frames keep arriving meanwhile.
    const int sentBeforeBlock = feeder.sent();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const int sentDuringBlock = feeder.sent() - sentBeforeBlock;
    const int skippedDuringBlock = video.FramesSkipped() - skippedBefore;
    // About half of them came more than a second after the last idle moment.
    EXPECT_GT(skippedDuringBlock, sentDuringBlock / 4);
    EXPECT_LT(skippedDuringBlock, sentDuringBlock * 3 / 4);

    // The first frame painted after the block is the newest accepted one, not the oldest
    // waiting: all queued events paint the same newest slot.
    const size_t paintedBefore = painted.size();
    QCoreApplication::sendPostedEvents();
    ASSERT_GT(painted.size(), paintedBefore + 5) << "queued frame events";
    for (size_t i = paintedBefore + 1; i < painted.size(); ++i)
        EXPECT_EQ(painted[i], painted[paintedBefore]);
    const int newestAccepted = (sentBeforeBlock + sentDuringBlock / 2) % 220 + 16;
    EXPECT_NEAR(painted[paintedBefore], newestAccepted, 8);

    // Idle again: painting goes on with new frames and nothing more is skipped for long.
    const int paints = canvas.paints;
    ASSERT_TRUE(runLoopUntil([&] { return canvas.paints >= paints + 10; }, 3000));
    feeder.stop();
    EXPECT_NE(painted.back(), painted[paintedBefore]);
    EXPECT_LE(video.FramesSkipped() - skippedBefore, skippedDuringBlock + 2);
    EXPECT_EQ(video.FramesReceived(), feeder.sent());
}

TEST(VideoImage, FramesBeforeTheFirstIdleMomentAreDropped)
{
    ScriptedPlatform platform;
    auto camera = platform.addDevice(QStringLiteral("Cam"));
    camera->current = camera->capabilities[0] = scriptedFormat(2, 2, FourCC_YUY2);
    TVideoImage video(&platform);
    ASSERT_EQ(video.VideoStart(QString()), 0);
    camera->deliver({16, 128, 16, 128, 16, 128, 16, 128});
    EXPECT_EQ(video.FramesSkipped(), 1);
    EXPECT_EQ(video.FramesReceived(), 1);
}

} // namespace
