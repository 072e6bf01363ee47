#pragma once

#include "capture/CapturePlatform.h"
#include "capture/CaptureProperties.h"
#include "capture/CaptureResult.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

enum TPLAYSTATE : std::uint8_t
{
    PS_Stopped = 0,
    PS_Paused = 1,
    PS_Running = 2,
};

// One entry of the resolution list.
struct TFormatInfo
{
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::uint32_t SSize = 0;
    std::int32_t OIndex = 0;
    std::uint32_t FourCC = 0; // "RGB " for 24-bit RGB
};

// Row and byte order of the current uncompressed RGB stream, from the last stream query.
struct TFrameLayout
{
    bool TopDown = false;
    bool RedFirst = false;
};

// Called on the streaming thread once per frame; must copy what it keeps.
using TVideoSampleCallBack = std::function<void(const std::uint8_t* pb, std::int32_t& Size)>;

// One capture pipeline: device choice, the graph's play state, the resolution list,
// image controls, and the per-frame hand-over to a receiver on the streaming thread.
// All operations but the frame delivery run on the interface thread; none throws.
class TVideoSample
{
public:
    // `owner` shows the property dialog (the main window's); it may be empty.
    TVideoSample(CapturePlatform& platform, PropertyDialogHook owner, bool ForceRGB,
                 std::int32_t WhichMethodToCallback, CaptureResult& HR);
    ~TVideoSample();
    TVideoSample(const TVideoSample&) = delete;
    TVideoSample& operator=(const TVideoSample&) = delete;

    CaptureResult StartVideo(const QString& CaptureDeviceName, bool Visible, QString& DeviceSelected);
    CaptureResult RestartVideo();
    CaptureResult PauseVideo();
    CaptureResult ResumeVideo();
    CaptureResult StopVideo();
    CaptureResult SetPreviewState(bool nShow);
    void SetCallBack(TVideoSampleCallBack CB);
    TPLAYSTATE GetPlayState() const { return g_psCurrent; }

    void GetListOfVideoSizes(QStringList& VidSize) const;
    CaptureResult SetVideoSizeByListIndex(std::int32_t ListIndex);
    CaptureResult GetStreamInfo(std::int32_t& Width, std::int32_t& Height, std::uint32_t& FourCC);
    TFrameLayout GetStreamLayout() const { return m_layout; }
    const std::vector<TFormatInfo>& Formats() const { return FormatArr; }

    CaptureResult ShowPropertyDialog();
    CaptureResult ShowPropertyDialog_CaptureStream();
    CaptureResult ShowVfWCaptureDlg();

    CaptureResult GetVideoPropAmpEx(std::int32_t Prop, std::int32_t& pMin, std::int32_t& pMax,
                                    std::int32_t& pSteppingDelta, std::int32_t& pDefault,
                                    std::int32_t& pCapsFlags, std::int32_t& pActual);
    CaptureResult SetVideoPropAmpEx(std::int32_t Prop, std::int32_t pCapsFlags, std::int32_t pActual);
    void GetVideoPropAmpPercent(std::int32_t Prop, std::int32_t& AcPerCent);
    void SetVideoPropAmpPercent(std::int32_t Prop, std::int32_t AcPerCent);

    void Destroy();

private:
    class Properties;

    CaptureResult RestartVideoEx(bool Visible);
    CaptureResult ConnectToCaptureDevice(const QString& DeviceName, QString& DeviceSelected,
                                         std::unique_ptr<CaptureSource>* ppSource);
    CaptureResult LoadListOfResolution();
    CaptureResult ShowPropertyDialogEx(const QString& caption);
    void deliverFrame(const std::uint8_t* data, std::int32_t size) noexcept;

    CapturePlatform& m_platform;
    PropertyDialogHook ghApp;
    TPLAYSTATE g_psCurrent = PS_Stopped;
    std::unique_ptr<CaptureSource> m_source;
    bool m_graphBuilt = false;
    bool m_hasImageControls = false;
    bool fVisible = false;
    std::int32_t m_whichMethod = 0;
    TFrameLayout m_layout;
    std::vector<TFormatInfo> FormatArr;

    // Guards CallBack: set on the interface thread, called on the streaming thread.
    std::mutex m_callBackMutex;
    TVideoSampleCallBack CallBack;
};

// Fills SL (cleared first) with the friendly names of the video input devices, in the
// platform's order; 1 when there are none.
CaptureResult GetCaptureDeviceList(CapturePlatform& platform, QStringList& SL);

// Nearest integer to num / den, halves to the even neighbour (den != 0).
std::int64_t roundHalfEven(std::int64_t num, std::int64_t den);
