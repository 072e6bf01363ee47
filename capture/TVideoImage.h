#pragma once

#include "capture/CapturePlatform.h"
#include "capture/CaptureProperties.h"
#include "capture/FourCC.h"
#include "capture/TVideoSample.h"

#include <QImage>
#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

enum TVideoProperty : std::int32_t
{
    VP_Brightness = 0,
    VP_Contrast,
    VP_Hue,
    VP_Saturation,
    VP_Sharpness,
    VP_Gamma,
    VP_ColorEnable,
    VP_WhiteBalance,
    VP_BacklightCompensation,
    VP_Gain,
};

class TVideoImage;
using TNewVideoFrameEvent = std::function<void(TVideoImage& Sender, std::int32_t Width, std::int32_t Height,
                                               const std::uint8_t* DataPtr)>;

// The camera as the main window runs it: starts and stops a capture pipeline on a named
// device, takes each frame from the streaming thread into a ring of three buffers, and on
// the interface thread converts the newest one to a 24-bit picture (Format_BGR888), paints
// it on the display canvas and hands out copies. Create, use and destroy it on the
// interface thread.
class TVideoImage
{
public:
    // `platform` defaults to the system's (GStreamer) devices; it must outlive the object.
    explicit TVideoImage(CapturePlatform* platform = nullptr);
    ~TVideoImage();
    TVideoImage(const TVideoImage&) = delete;
    TVideoImage& operator=(const TVideoImage&) = delete;

    CaptureResult GetListOfDevices(QStringList& DeviceList);
    // Frames are drawn unscaled at the canvas's top-left corner; `changed` runs after each
    // drawing (the desk shows the canvas there). Painting is skipped while someone else
    // paints on the canvas. nullptr: no live picture.
    void SetDisplayCanvas(QImage* Canvas, std::function<void()> changed = {});
    // Shows the camera's format dialog; owned by the main window.
    void SetPropertyDialog(PropertyDialogHook dialog) { m_propertyDialog = std::move(dialog); }
    // Receives exceptions raised while a frame is handled (the application's error box).
    void SetExceptionReport(std::function<void(const std::exception&)> report)
    {
        m_report = std::move(report);
    }

    // 0 started, 1 failed.
    std::int32_t VideoStart(const QString& DeviceName);
    void VideoStop();
    void VideoPause();
    void VideoResume();
    void GetListOfSupportedVideoSizes(QStringList& VidSize) const;
    void SetResolutionByIndex(std::int32_t Index);
    void GetBitmap(QImage& BMP);
    void ShowProperty_Stream();
    void ShowProperty();
    void ShowVfWCaptureDlg();
    CaptureResult GetVideoPropertySettings(TVideoProperty VP, std::int32_t& MinVal, std::int32_t& MaxVal,
                                           std::int32_t& StepSize, std::int32_t& Default,
                                           std::int32_t& Actual, bool& AutoMode);
    CaptureResult SetVideoPropertySettings(TVideoProperty VP, std::int32_t Actual, bool AutoMode);

    std::int32_t VideoWidth() const { return fWidth; }
    std::int32_t VideoHeight() const { return fHeight; }
    std::uint32_t VideoFourCC() const { return fFourCC; }
    double FramesPerSecond() const { return fFPS.load(); }
    std::int32_t FramesSkipped() const { return fSkipCnt.load(); }
    std::int32_t FramesReceived() const { return fFrameCnt.load(); }
    bool IsPaused() const { return VideoSample && VideoSample->GetPlayState() == PS_Paused; }
    void SetOnNewVideoFrame(TNewVideoFrameEvent event) { fOnNewFrame = std::move(event); }

    // Frame conversion, on the interface thread. UnpackFrame converts one raw frame of the
    // current stream format into the bitmap and reports whether it did (a mismatch writes
    // the "Unknown compression" text and counts as done).
    void PrepareTables();
    bool UnpackFrame(std::int32_t Size, const std::uint8_t* pData);
    void YUY2_to_RGB(const std::uint8_t* pData);
    void I420_to_RGB(const std::uint8_t* pData);
    const QImage& Bitmap() const { return fBitmap; }

    std::array<std::int32_t, 256> ValueY_298{};
    std::array<std::int32_t, 256> ValueU_100{};
    std::array<std::int32_t, 256> ValueU_516{};
    std::array<std::int32_t, 256> ValueV_409{};
    std::array<std::int32_t, 256> ValueV_208{};
    // Indexed -1023 to 1023.
    std::uint8_t ValueClip(int k) const { return m_clip[size_t(k + 1023)]; }

private:
    class Receiver;
    friend class Receiver;

    void CallBack(const std::uint8_t* pb, std::int32_t Size) noexcept;
    void WndProc();
    void AppEventsIdle();
    void PaintFrame();
    void unpackNewest();
    void takeStreamInfo(std::int32_t width, std::int32_t height, std::uint32_t fourCC);
    void writeUnknownCompression(std::int32_t Size);
    void copyRgb(const std::uint8_t* pData);
    void setCallBack();

    static constexpr int CBufferCnt = 3;

    CapturePlatform* m_platform;
    std::unique_ptr<TVideoSample> VideoSample;
    PropertyDialogHook m_propertyDialog;
    std::function<void(const std::exception&)> m_report;

    bool fBusy = false; // interface thread only
    // Counted on the streaming thread (skips also on the interface thread), reset at start.
    std::atomic<std::int32_t> fSkipCnt{0};
    std::atomic<std::int32_t> fFrameCnt{0};
    std::atomic<std::uint32_t> f30FrameTick{0};
    std::atomic<double> fFPS{0.0};
    // Tick of the interface thread's last idle moment, read by the streaming thread's gate.
    std::atomic<std::uint32_t> IdleEventTick{0};

    std::int32_t fWidth = 0;
    std::int32_t fHeight = 0;
    std::uint32_t fFourCC = 0;
    TFrameLayout m_layout;
    QImage fBitmap;
    QImage* fDisplayCanvas = nullptr;
    std::function<void()> m_canvasChanged;

    // Guards the ring's bookkeeping: fImagePtrIndex, m_readingSlot, m_writingSlot,
    // fImagePtrSize, m_frameSeq and fImageUnpacked. The slot bytes themselves are written
    // outside the lock by the streaming thread, only in a slot that is neither the newest
    // nor the one being converted.
    mutable std::mutex m_ringMutex;
    std::array<std::vector<std::uint8_t>, CBufferCnt> fImagePtr;
    std::array<std::int32_t, CBufferCnt> fImagePtrSize{};
    std::int32_t fImagePtrIndex = 0;
    std::int32_t m_readingSlot = -1;
    std::uint64_t m_frameSeq = 0;
    bool fImageUnpacked = false;

    TNewVideoFrameEvent fOnNewFrame;
    std::unique_ptr<Receiver> fMessageHWND;
    QMetaObject::Connection AppEvent;

    std::array<std::uint8_t, 2047> m_clip{};
    bool fYUY2TablesPrepared = false;
};

// Millisecond tick of a monotonic clock, wrapping like the system's 32-bit tick count.
std::uint32_t captureTickCount();
