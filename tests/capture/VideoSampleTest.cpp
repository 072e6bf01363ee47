#include "ScriptedCapture.h"

#include "capture/FourCC.h"
#include "capture/TVideoSample.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

std::unique_ptr<TVideoSample> makeSample(CapturePlatform& platform)
{
    CaptureResult hr = CaptureCode::Fail;
    auto sample = std::make_unique<TVideoSample>(platform, PropertyDialogHook{}, false, 0, hr);
    EXPECT_EQ(hr, CaptureCode::Ok);
    return sample;
}

// Ten devices: two share a name, the first carries blanks around its name.
struct TenDevices
{
    ScriptedPlatform platform;
    TenDevices()
    {
        platform.addDevice(QStringLiteral("  Integrated Webcam "));
        platform.addDevice(QStringLiteral("USB Camera"));
        platform.addDevice(QStringLiteral("USB Camera"));
        for (int i = 4; i <= 10; ++i)
            platform.addDevice(QStringLiteral("Cam %1").arg(i));
    }
    int boundDevice() const
    {
        int found = -1;
        for (size_t i = 0; i < platform.devices.size(); ++i)
            if (platform.devices[i]->bindCount > 0)
                found = found == -1 ? int(i) : -2;
        return found;
    }
};

struct DeviceChoice
{
    const char* name;
    const char* request;
    int device; // -1: none
    const char* selected;
};

class VideoSampleDeviceChoice : public ::testing::TestWithParam<DeviceChoice>
{};

TEST_P(VideoSampleDeviceChoice, OpensTheDeviceTheNameOrPositionPicks)
{
    const DeviceChoice& c = GetParam();
    TenDevices machine;
    auto sample = makeSample(machine.platform);
    QString selected = QStringLiteral("stale");

    const CaptureResult hr = sample->StartVideo(QString::fromUtf8(c.request), false, selected);

    EXPECT_EQ(machine.boundDevice(), c.device);
    EXPECT_EQ(selected, QString::fromUtf8(c.selected));
    if (c.device >= 0) {
        EXPECT_EQ(hr, CaptureCode::Ok);
        EXPECT_EQ(sample->GetPlayState(), PS_Running);
    } else {
        EXPECT_EQ(hr, CaptureCode::Fail);
        EXPECT_EQ(sample->GetPlayState(), PS_Stopped);
    }
}

INSTANTIATE_TEST_SUITE_P(
    VideoSample, VideoSampleDeviceChoice,
    ::testing::Values(
        DeviceChoice{"empty", "", 0, "Integrated Webcam"},
        DeviceChoice{"blanks", "   ", 0, "Integrated Webcam"},
        DeviceChoice{"first", "#1", 0, "Integrated Webcam"}, DeviceChoice{"second", "#2", 1, "USB Camera"},
        DeviceChoice{"thirdIsTheOtherTwin", "#3", 2, "USB Camera"}, DeviceChoice{"ninth", "#9", 8, "Cam 9"},
        DeviceChoice{"zeroIsNoPosition", "#0", -1, ""}, DeviceChoice{"tenIsNoPosition", "#10", -1, ""},
        DeviceChoice{"nameChoosesFirstTwin", "USB Camera", 1, "USB Camera"},
        DeviceChoice{"caseAndBlanksIgnored", "  integrated WEBCAM  ", 0, "Integrated Webcam"},
        DeviceChoice{"tenthByName", "cam 10", 9, "Cam 10"}, DeviceChoice{"unknownName", "Elgato", -1, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VideoSample, DeviceListKeepsThePlatformsOrderAndTwinNames)
{
    TenDevices machine;
    QStringList names{QStringLiteral("old entry")};
    EXPECT_EQ(GetCaptureDeviceList(machine.platform, names), CaptureCode::Ok);
    ASSERT_EQ(names.size(), 10);
    EXPECT_EQ(names[0], QStringLiteral("  Integrated Webcam "));
    EXPECT_EQ(names[1], names[2]);
}

TEST(VideoSample, MachineWithoutCamerasHasAnEmptyListAndFailsToStart)
{
    ScriptedPlatform none;
    QStringList names{QStringLiteral("old entry")};
    EXPECT_EQ(GetCaptureDeviceList(none, names), CaptureCode::False);
    EXPECT_TRUE(names.isEmpty());

    auto sample = makeSample(none);
    QString selected;
    EXPECT_EQ(sample->StartVideo(QString(), false, selected), CaptureCode::Fail);
}

TEST(VideoSample, PlatformFailuresArePassedUp)
{
    ScriptedPlatform platform;
    platform.addDevice(QStringLiteral("Cam"));
    auto sample = makeSample(platform);
    QString selected;

    platform.enumerateResult = CaptureCode::Unexpected;
    EXPECT_EQ(sample->StartVideo(QString(), false, selected), CaptureCode::Unexpected);

    platform.enumerateResult = CaptureCode::Ok;
    platform.devices[0]->bindResult = CaptureCode::NoInterface;
    EXPECT_EQ(sample->StartVideo(QString(), false, selected), CaptureCode::NoInterface);
    EXPECT_EQ(selected, QStringLiteral("Cam"));
}

TEST(VideoSample, ASecondStartReleasesTheFirstSource)
{
    ScriptedPlatform platform;
    auto first = platform.addDevice(QStringLiteral("A"));
    auto second = platform.addDevice(QStringLiteral("B"));
    auto sample = makeSample(platform);
    QString selected;
    ASSERT_EQ(sample->StartVideo(QStringLiteral("A"), false, selected), CaptureCode::Ok);
    ASSERT_EQ(sample->StartVideo(QStringLiteral("B"), false, selected), CaptureCode::Ok);
    EXPECT_FALSE(first->sourceAlive);
    EXPECT_TRUE(second->sourceAlive);
    EXPECT_EQ(first->calls, (std::vector<std::string>{"build", "run", "stop", "destroy"}));
}

class VideoSampleResolutions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        camera = platform.addDevice(QStringLiteral("Cam"));
        camera->capabilities = {
            scriptedFormat(640, 480, FourCC_YUY2, 0), scriptedFormat(320, 240, FourCC_YUY2, 1),
            scriptedFormat(640, 360, FourCC_MJPG, 2), scriptedFormat(320, 240, FourCC_RGB24, 3)};
        sample = makeSample(platform);
        QString selected;
        ASSERT_EQ(sample->StartVideo(QString(), false, selected), CaptureCode::Ok);
        camera->calls.clear();
    }

    ScriptedPlatform platform;
    std::shared_ptr<ScriptedCamera> camera;
    std::unique_ptr<TVideoSample> sample;
};

TEST_F(VideoSampleResolutions, ListIsSortedByWidthThenHeightKeepingDeviceOrderForEqualSizes)
{
    std::vector<std::int32_t> order;
    for (const TFormatInfo& f : sample->Formats())
        order.push_back(f.OIndex);
    EXPECT_EQ(order, (std::vector<std::int32_t>{1, 3, 2, 0}));

    QStringList texts{QStringLiteral("old")};
    sample->GetListOfVideoSizes(texts);
    EXPECT_EQ(texts, (QStringList{QStringLiteral("320*240  (YUY2)"), QStringLiteral("320*240  (RGB )"),
                                  QStringLiteral("640*360  (MJPG)"), QStringLiteral("640*480  (YUY2)")}));
}

TEST_F(VideoSampleResolutions, SizeChangeSetsTheEntrysOwnCapabilityAndRunsAgain)
{
    EXPECT_EQ(sample->SetVideoSizeByListIndex(2), CaptureCode::Ok);
    EXPECT_EQ(camera->calls, (std::vector<std::string>{"stop", "setFormat:2", "run"}));
    EXPECT_EQ(sample->GetPlayState(), PS_Running);
}

TEST_F(VideoSampleResolutions, OutOfRangeIndexDoesNothing)
{
    for (const std::int32_t index : {-1, 4}) {
        EXPECT_EQ(sample->SetVideoSizeByListIndex(index), CaptureCode::False) << index;
        EXPECT_TRUE(camera->calls.empty()) << index;
        EXPECT_EQ(sample->GetPlayState(), PS_Running);
    }
}

TEST_F(VideoSampleResolutions, StopClearsTheListAndAStoppedGraphListsNothing)
{
    sample->StopVideo();
    QStringList texts{QStringLiteral("old")};
    sample->GetListOfVideoSizes(texts);
    EXPECT_TRUE(texts.isEmpty());
    EXPECT_TRUE(sample->Formats().empty());
}

struct StreamInfoCase
{
    const char* name;
    CaptureFormat current;
    std::int32_t width, height;
    std::uint32_t fourCC;
    bool topDown;
};

class VideoSampleStreamInfo : public ::testing::TestWithParam<StreamInfoCase>
{};

TEST_P(VideoSampleStreamInfo, ReportsSizeAndCompression)
{
    const StreamInfoCase& c = GetParam();
    ScriptedPlatform platform;
    auto camera = platform.addDevice(QStringLiteral("Cam"));
    camera->current = c.current;
    auto sample = makeSample(platform);
    QString selected;
    ASSERT_EQ(sample->StartVideo(QString(), false, selected), CaptureCode::Ok);
    camera->calls.clear();

    std::int32_t w = -1, h = -1;
    std::uint32_t code = 12345;
    EXPECT_EQ(sample->GetStreamInfo(w, h, code), CaptureCode::Ok);
    EXPECT_EQ(w, c.width);
    EXPECT_EQ(h, c.height);
    EXPECT_EQ(code, c.fourCC);
    EXPECT_EQ(sample->GetStreamLayout().TopDown, c.topDown);
    EXPECT_EQ(camera->calls, (std::vector<std::string>{"stop", "run"}));
}

INSTANTIATE_TEST_SUITE_P(
    VideoSample, VideoSampleStreamInfo,
    ::testing::Values(
        StreamInfoCase{"yuy2", scriptedFormat(640, 480, FourCC_YUY2), 640, 480, FourCC_YUY2, false},
        StreamInfoCase{"rgbBottomUp", scriptedFormat(320, 240, FourCC_RGB24), 320, 240, 0, false},
        StreamInfoCase{"rgbTopDown", scriptedFormat(320, -240, FourCC_RGB24), 320, 240, 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VideoSample, FailedStreamQueryGivesZeroSizeAndKeepsTheCode)
{
    ScriptedPlatform platform;
    auto camera = platform.addDevice(QStringLiteral("Cam"));
    auto sample = makeSample(platform);
    QString selected;
    ASSERT_EQ(sample->StartVideo(QString(), false, selected), CaptureCode::Ok);
    camera->formatResult = CaptureCode::Fail;
    std::int32_t w = -1, h = -1;
    std::uint32_t code = 77;
    EXPECT_EQ(sample->GetStreamInfo(w, h, code), CaptureCode::Fail);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(code, 77u);
}

// --- play states -----------------------------------------------------------------------

struct PlayStateCase
{
    const char* name;
    std::function<void(TVideoSample&)> prepare;
    std::function<CaptureResult(TVideoSample&)> operation;
    CaptureResult pauseResult, runResult;
    TPLAYSTATE expectedState;
    CaptureResult expectedResult;
};

class VideoSamplePlayState : public ::testing::TestWithParam<PlayStateCase>
{};

TEST_P(VideoSamplePlayState, FollowsTheStateTable)
{
    const PlayStateCase& c = GetParam();
    ScriptedPlatform platform;
    auto camera = platform.addDevice(QStringLiteral("Cam"));
    auto sample = makeSample(platform);
    QString selected;
    ASSERT_EQ(sample->StartVideo(QString(), false, selected), CaptureCode::Ok);
    if (c.prepare)
        c.prepare(*sample);
    camera->pauseResult = c.pauseResult;
    camera->runResult = c.runResult;
    camera->stopResult = CaptureCode::False;

    EXPECT_EQ(c.operation(*sample), c.expectedResult);
    EXPECT_EQ(sample->GetPlayState(), c.expectedState);
}

const auto pause = [](TVideoSample& s) {
    return s.PauseVideo();
};
const auto resume = [](TVideoSample& s) {
    return s.ResumeVideo();
};
const auto stop = [](TVideoSample& s) {
    return s.StopVideo();
};
const auto show = [](TVideoSample& s) {
    return s.SetPreviewState(true);
};
const auto hide = [](TVideoSample& s) {
    return s.SetPreviewState(false);
};
const auto restart = [](TVideoSample& s) {
    return s.RestartVideo();
};
const auto paused = [](TVideoSample& s) {
    ASSERT_EQ(s.PauseVideo(), CaptureCode::Ok);
};
const auto stopped = [](TVideoSample& s) {
    s.StopVideo();
};
constexpr CaptureResult Ok = CaptureCode::Ok, Fail = CaptureCode::Fail, No = CaptureCode::False;

INSTANTIATE_TEST_SUITE_P(
    VideoSample, VideoSamplePlayState,
    ::testing::Values(PlayStateCase{"pauseRunning", nullptr, pause, Ok, Ok, PS_Paused, Ok},
                      PlayStateCase{"pauseRunningRefused", nullptr, pause, Fail, Ok, PS_Running, Fail},
                      PlayStateCase{"pausePaused", paused, pause, Fail, Ok, PS_Paused, Ok},
                      PlayStateCase{"pauseStopped", stopped, pause, Ok, Ok, PS_Stopped, No},
                      PlayStateCase{"resumeStopped", stopped, resume, Ok, Ok, PS_Stopped, No},
                      PlayStateCase{"resumePaused", paused, resume, Ok, Ok, PS_Running, Ok},
                      PlayStateCase{"resumePausedRefused", paused, resume, Ok, Fail, PS_Paused, Fail},
                      PlayStateCase{"resumeRunning", nullptr, resume, Ok, Fail, PS_Running, Ok},
                      PlayStateCase{"showRunning", nullptr, show, Ok, Fail, PS_Running, Ok},
                      PlayStateCase{"showStoppedTakesRunsCode", stopped, show, Ok, Fail, PS_Running, Fail},
                      PlayStateCase{"stopPaused", paused, stop, Ok, Ok, PS_Stopped, No},
                      PlayStateCase{"hideRunning", nullptr, hide, Ok, Ok, PS_Stopped, No},
                      PlayStateCase{"restartStoppedTakesRunsCode", stopped, restart, Ok, Fail, PS_Running,
                                    Fail}),
    [](const auto& info) { return std::string(info.param.name); });

// --- image controls --------------------------------------------------------------------

class VideoSampleImageControls : public ::testing::Test
{
protected:
    void start(ImageControlRange range, std::int32_t actual)
    {
        camera = platform.addDevice(QStringLiteral("Cam"));
        camera->hasControls = true;
        camera->ranges[ImageControl_Brightness] = range;
        camera->values[ImageControl_Brightness] = actual;
        sample = makeSample(platform);
        QString selected;
        ASSERT_EQ(sample->StartVideo(QString(), false, selected), CaptureCode::Ok);
    }

    ScriptedPlatform platform;
    std::shared_ptr<ScriptedCamera> camera;
    std::unique_ptr<TVideoSample> sample;
};

struct PercentCase
{
    const char* name;
    ImageControlRange range;
    std::int32_t percent;
    std::int32_t expectedValue;
};

class VideoSampleSetPercent : public VideoSampleImageControls,
                              public ::testing::WithParamInterface<PercentCase>
{};

TEST_P(VideoSampleSetPercent, SetsTheValueOfThePercentage)
{
    const PercentCase& c = GetParam();
    start(c.range, 7);
    sample->SetVideoPropAmpPercent(ImageControl_Brightness, c.percent);
    EXPECT_EQ(camera->values[ImageControl_Brightness], c.expectedValue);
    EXPECT_EQ(camera->lastSetFlags[ImageControl_Brightness], c.range.flags);
}

constexpr ImageControlRange byte{0, 255, 1, 100, ImageControlManual};
constexpr ImageControlRange stepped{-64, 64, 10, 3, ImageControlManual | ImageControlAuto};

INSTANTIATE_TEST_SUITE_P(VideoSample, VideoSampleSetPercent,
                         ::testing::Values(PercentCase{"halfRoundsToEven", byte, 50, 128},
                                           PercentCase{"truncatedToStep", stepped, 50, -4},
                                           PercentCase{"zeroIsMin", byte, 0, 0},
                                           PercentCase{"hundredIsMax", byte, 100, 255},
                                           PercentCase{"aboveHundredIsDefault", byte, 101, 100},
                                           PercentCase{"negativeIsDefault", stepped, -5, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

struct GetPercentCase
{
    const char* name;
    ImageControlRange range;
    std::int32_t actual;
    std::int32_t expectedPercent;
};

class VideoSampleGetPercent : public VideoSampleImageControls,
                              public ::testing::WithParamInterface<GetPercentCase>
{};

TEST_P(VideoSampleGetPercent, RoundsTheQuotientHalvesToEven)
{
    const GetPercentCase& c = GetParam();
    start(c.range, c.actual);
    std::int32_t percent = 999;
    sample->GetVideoPropAmpPercent(ImageControl_Brightness, percent);
    EXPECT_EQ(percent, c.expectedPercent);
}

INSTANTIATE_TEST_SUITE_P(VideoSample, VideoSampleGetPercent,
                         ::testing::Values(GetPercentCase{"plain", byte, 128, 50},
                                           GetPercentCase{"halfDown", {0, 200, 1, 0, 1}, 1, 0},
                                           GetPercentCase{"halfUp", {0, 200, 1, 0, 1}, 3, 2},
                                           GetPercentCase{"negativeRange", stepped, -64, 0},
                                           GetPercentCase{"top", stepped, 64, 100}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(VideoSampleImageControls, RangeQueryFillsDefaultsAndReadsTheActualValue)
{
    start(stepped, 12);
    std::int32_t min = 0, max = 0, step = 0, def = 0, flags = 0, actual = 0;
    EXPECT_EQ(sample->GetVideoPropAmpEx(ImageControl_Brightness, min, max, step, def, flags, actual),
              CaptureCode::Ok);
    EXPECT_EQ(std::vector<std::int32_t>({min, max, step, def, flags, actual}),
              std::vector<std::int32_t>({-64, 64, 10, 3, ImageControlManual, 12}));

    // A control the device lacks fails and reads as -1 percent.
    EXPECT_EQ(sample->GetVideoPropAmpEx(ImageControl_Gain, min, max, step, def, flags, actual),
              CaptureCode::PropIdUnsupported);
    std::int32_t percent = 0;
    sample->GetVideoPropAmpPercent(ImageControl_Gain, percent);
    EXPECT_EQ(percent, -1);
}

TEST(VideoSample, DeviceWithoutImageControlsAnswersOneAndMinusOnePercent)
{
    ScriptedPlatform platform;
    platform.addDevice(QStringLiteral("Cam"));
    auto sample = makeSample(platform);
    QString selected;
    ASSERT_EQ(sample->StartVideo(QString(), false, selected), CaptureCode::Ok);
    std::int32_t v = 0;
    EXPECT_EQ(sample->GetVideoPropAmpEx(ImageControl_Brightness, v, v, v, v, v, v), CaptureCode::False);
    EXPECT_EQ(sample->SetVideoPropAmpEx(ImageControl_Brightness, 1, 5), CaptureCode::False);
    std::int32_t percent = 0;
    sample->GetVideoPropAmpPercent(ImageControl_Brightness, percent);
    EXPECT_EQ(percent, -1);
}

// --- frames and tear-down --------------------------------------------------------------

TEST(VideoSample, FramesReachTheReceiverOnlyOnceSetAndNotAfterDestroy)
{
    ScriptedPlatform platform;
    auto camera = platform.addDevice(QStringLiteral("Cam"));
    auto sample = makeSample(platform);
    QString selected;
    ASSERT_EQ(sample->StartVideo(QString(), false, selected), CaptureCode::Ok);

    std::vector<std::int32_t> sizes;
    camera->deliver({1, 2, 3}); // before SetCallBack: dropped
    sample->SetCallBack([&](const std::uint8_t* pb, std::int32_t& size) {
        EXPECT_EQ(pb[0], 9);
        sizes.push_back(size);
    });
    camera->deliver({9, 8});
    camera->deliver({});
    EXPECT_EQ(sizes, (std::vector<std::int32_t>{2}));

    sample->Destroy();
    EXPECT_FALSE(camera->sourceAlive);
    EXPECT_EQ(sample->GetPlayState(), PS_Stopped);
}

TEST(VideoSample, PropertyDialogSeesTheFormatsWhileTheGraphIsStopped)
{
    ScriptedPlatform platform;
    auto camera = platform.addDevice(QStringLiteral("Cam"));
    camera->capabilities = {scriptedFormat(640, 480, FourCC_YUY2, 0),
                            scriptedFormat(320, 240, FourCC_YUY2, 1)};
    QStringList shown;
    int current = -2;
    std::vector<std::string> callsDuringDialog;
    PropertyDialogHook dialog = [&](const QString& caption, CaptureProperties& properties) {
        EXPECT_TRUE(caption.isEmpty());
        shown = properties.formats();
        current = properties.currentFormat();
        callsDuringDialog = camera->calls;
        properties.selectFormat(0);
    };
    CaptureResult hr;
    TVideoSample sample(platform, dialog, false, 0, hr);
    QString selected;
    ASSERT_EQ(sample.StartVideo(QString(), false, selected), CaptureCode::Ok);
    camera->calls.clear();

    EXPECT_EQ(sample.ShowPropertyDialog_CaptureStream(), CaptureCode::Ok);
    EXPECT_EQ(shown, (QStringList{QStringLiteral("320*240  (YUY2)"), QStringLiteral("640*480  (YUY2)")}));
    EXPECT_EQ(current, 1);
    EXPECT_EQ(callsDuringDialog, (std::vector<std::string>{"stop"}));
    EXPECT_EQ(camera->calls, (std::vector<std::string>{"stop", "setFormat:1", "run"}));
}

} // namespace
