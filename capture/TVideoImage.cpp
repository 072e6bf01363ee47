#include "capture/TVideoImage.h"

#include "capture/Jpeg.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QThread>

#include <chrono>
#include <cstring>
#include <thread>

std::uint32_t captureTickCount()
{
    using namespace std::chrono;
    return std::uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

namespace {

const QEvent::Type FrameEventType = QEvent::Type(QEvent::registerEventType());

// The frame message: carries nothing, the newest ring slot is always the one painted.
class FrameEvent : public QEvent
{
public:
    FrameEvent() : QEvent(FrameEventType) {}
};

} // namespace

// Lives on the interface thread and receives the posted frame events there.
class TVideoImage::Receiver : public QObject
{
public:
    explicit Receiver(TVideoImage& owner) : m_owner(owner) {}

    bool event(QEvent* e) override
    {
        if (e->type() != FrameEventType)
            return QObject::event(e);
        m_owner.WndProc();
        return true;
    }

private:
    TVideoImage& m_owner;
};

TVideoImage::TVideoImage(CapturePlatform* platform)
    : m_platform(platform ? platform : &defaultCapturePlatform()),
      fMessageHWND(std::make_unique<Receiver>(*this))
{
    m_report = [](const std::exception& e) {
        qWarning("Camera frame: %s", e.what());
    };
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread())) {
        AppEvent = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, fMessageHWND.get(),
                                    [this] { AppEventsIdle(); });
    }
}

TVideoImage::~TVideoImage()
{
    VideoStop();
    QObject::disconnect(AppEvent);
    // Deleting the receiver drops frame events still queued for it.
    fMessageHWND.reset();
}

CaptureResult TVideoImage::GetListOfDevices(QStringList& DeviceList)
{
    return GetCaptureDeviceList(*m_platform, DeviceList);
}

void TVideoImage::SetDisplayCanvas(QImage* Canvas, std::function<void()> changed)
{
    fDisplayCanvas = Canvas;
    m_canvasChanged = std::move(changed);
}

void TVideoImage::AppEventsIdle()
{
    IdleEventTick.store(captureTickCount());
}

std::int32_t TVideoImage::VideoStart(const QString& DeviceName)
{
    fSkipCnt = 0;
    fFrameCnt = 0;
    f30FrameTick = 0;
    fFPS = 0.0;
    {
        std::lock_guard lock(m_ringMutex);
        fImageUnpacked = false;
    }
    if (VideoSample)
        VideoStop();

    CaptureResult created = CaptureCode::Ok;
    VideoSample = std::make_unique<TVideoSample>(*m_platform, m_propertyDialog, false, 0, created);

    QString selected;
    CaptureResult hr = VideoSample->StartVideo(DeviceName, false, selected);
    if (CaptureCode::failed(hr)) {
        VideoStop();
        return 1;
    }
    std::int32_t width = 0, height = 0;
    std::uint32_t fourCC = 0;
    hr = VideoSample->GetStreamInfo(width, height, fourCC);
    if (CaptureCode::failed(hr)) {
        VideoStop();
        return 1;
    }
    takeStreamInfo(width, height, fourCC);
    setCallBack();
    return 0;
}

void TVideoImage::setCallBack()
{
    VideoSample->SetCallBack([this](const std::uint8_t* pb, std::int32_t& Size) { CallBack(pb, Size); });
}

void TVideoImage::takeStreamInfo(std::int32_t width, std::int32_t height, std::uint32_t fourCC)
{
    fWidth = width;
    fHeight = height;
    fFourCC = fourCC;
    m_layout = VideoSample->GetStreamLayout();
    if (fBitmap.width() != width || fBitmap.height() != height || fBitmap.format() != QImage::Format_BGR888) {
        fBitmap = QImage(width, height, QImage::Format_BGR888);
        fBitmap.fill(Qt::white);
    }
}

void TVideoImage::VideoStop()
{
    fFPS = 0.0;
    if (!VideoSample)
        return;
    try {
        // Destroying the graph waits for the streaming thread to leave CallBack; CallBack
        // never waits for this thread, so this cannot deadlock with a frame in flight.
        VideoSample.reset();
    } catch (...) {
        VideoSample.release();
    }
}

void TVideoImage::VideoPause()
{
    if (VideoSample)
        VideoSample->PauseVideo();
}

void TVideoImage::VideoResume()
{
    if (VideoSample)
        VideoSample->ResumeVideo();
}

void TVideoImage::GetListOfSupportedVideoSizes(QStringList& VidSize) const
{
    VidSize.clear();
    if (VideoSample)
        VideoSample->GetListOfVideoSizes(VidSize);
}

void TVideoImage::SetResolutionByIndex(std::int32_t Index)
{
    if (!VideoSample)
        return;
    VideoSample->SetVideoSizeByListIndex(Index);
    std::int32_t width = 0, height = 0;
    std::uint32_t fourCC = fFourCC;
    if (VideoSample->GetStreamInfo(width, height, fourCC) == CaptureCode::Ok)
        takeStreamInfo(width, height, fourCC);
}

void TVideoImage::ShowProperty_Stream()
{
    if (!VideoSample)
        return;
    VideoSample->ShowPropertyDialog_CaptureStream();
    std::int32_t width = 0, height = 0;
    std::uint32_t fourCC = fFourCC;
    if (CaptureCode::failed(VideoSample->GetStreamInfo(width, height, fourCC))) {
        VideoStop();
        return;
    }
    takeStreamInfo(width, height, fourCC);
    setCallBack();
}

void TVideoImage::ShowProperty()
{
    if (VideoSample)
        VideoSample->ShowPropertyDialog();
}

void TVideoImage::ShowVfWCaptureDlg()
{
    if (VideoSample)
        VideoSample->ShowVfWCaptureDlg();
}

CaptureResult TVideoImage::GetVideoPropertySettings(TVideoProperty VP, std::int32_t& MinVal,
                                                    std::int32_t& MaxVal, std::int32_t& StepSize,
                                                    std::int32_t& Default, std::int32_t& Actual,
                                                    bool& AutoMode)
{
    auto defaults = [&] {
        MinVal = -1;
        MaxVal = -1;
        StepSize = 0;
        Default = 0;
        Actual = 0;
        AutoMode = true;
    };
    defaults();
    if (!VideoSample)
        return CaptureCode::False;
    if (VP < VP_Brightness || VP > VP_Gain)
        return CaptureCode::False;
    std::int32_t flags = 0;
    const CaptureResult hr =
        VideoSample->GetVideoPropAmpEx(VP, MinVal, MaxVal, StepSize, Default, flags, Actual);
    if (CaptureCode::failed(hr) || hr == CaptureCode::False)
        defaults();
    else
        AutoMode = flags != ImageControlManual;
    return hr;
}

CaptureResult TVideoImage::SetVideoPropertySettings(TVideoProperty VP, std::int32_t Actual, bool AutoMode)
{
    if (!VideoSample)
        return CaptureCode::False;
    if (VP < VP_Brightness || VP > VP_Gain)
        return CaptureCode::False;
    return VideoSample->SetVideoPropAmpEx(VP, AutoMode ? ImageControlAuto : ImageControlManual, Actual);
}

// Streaming thread. Never waits for the interface thread: the ring lock is only ever held
// for a few assignments on either side.
void TVideoImage::CallBack(const std::uint8_t* pb, std::int32_t Size) noexcept
{
    try {
        const std::int32_t count = ++fFrameCnt;
        const std::uint32_t t = captureTickCount();
        if (count % 30 == 0) {
            const std::uint32_t last = f30FrameTick.load();
            if (last != 0 && t != last)
                fFPS = 30000.0 / double(std::uint32_t(t - last));
            f30FrameTick = t;
        }
        const std::int64_t sinceIdle = std::int64_t(t) - std::int64_t(IdleEventTick.load());
        if (sinceIdle > 1000 || sinceIdle < -1000) {
            ++fSkipCnt;
            return;
        }

        int slot;
        {
            std::lock_guard lock(m_ringMutex);
            slot = (fImagePtrIndex + 1) % CBufferCnt;
            if (slot == m_readingSlot) {
                // Two newer frames arrived while one is still being converted.
                ++fSkipCnt;
                return;
            }
        }
        std::vector<std::uint8_t>& buffer = fImagePtr[size_t(slot)];
        if (buffer.size() != size_t(Size)) {
            buffer.clear();
            buffer.shrink_to_fit();
            buffer.resize(size_t(Size));
        }
        std::memcpy(buffer.data(), pb, size_t(Size));
        {
            std::lock_guard lock(m_ringMutex);
            fImagePtrSize[size_t(slot)] = Size;
            fImagePtrIndex = slot;
            ++m_frameSeq;
            fImageUnpacked = false;
        }
        QCoreApplication::postEvent(fMessageHWND.get(), new FrameEvent);
        std::this_thread::yield();
    } catch (...) {
        // An allocation failure loses this frame; nothing unwinds into the platform.
        ++fSkipCnt;
    }
}

void TVideoImage::WndProc()
{
    if (fBusy) {
        ++fSkipCnt;
        return;
    }
    fBusy = true;
    try {
        {
            std::lock_guard lock(m_ringMutex);
            fImageUnpacked = false;
        }
        PaintFrame();
        if (fOnNewFrame) {
            const std::uint8_t* newest;
            {
                std::lock_guard lock(m_ringMutex);
                newest = fImagePtr[size_t(fImagePtrIndex)].data();
            }
            fOnNewFrame(*this, fWidth, fHeight, newest);
        }
    } catch (const std::exception& e) {
        fBusy = false;
        if (m_report)
            m_report(e);
        return;
    } catch (...) {
        fBusy = false;
        if (m_report)
            m_report(std::runtime_error("unknown error"));
        return;
    }
    fBusy = false;
}

void TVideoImage::PaintFrame()
{
    if (!fDisplayCanvas)
        return;
    unpackNewest();
    if (fDisplayCanvas->paintingActive())
        return;
    {
        QPainter painter(fDisplayCanvas);
        painter.drawImage(0, 0, fBitmap);
    }
    if (m_canvasChanged)
        m_canvasChanged();
}

void TVideoImage::unpackNewest()
{
    int slot;
    std::uint64_t seq;
    std::int32_t size;
    {
        std::lock_guard lock(m_ringMutex);
        if (fImageUnpacked)
            return;
        slot = fImagePtrIndex;
        seq = m_frameSeq;
        size = fImagePtrSize[size_t(slot)];
        m_readingSlot = slot;
    }
    // The streaming thread leaves the reading slot alone, so no lock while converting.
    const bool done = UnpackFrame(size, size > 0 ? fImagePtr[size_t(slot)].data() : nullptr);
    std::lock_guard lock(m_ringMutex);
    m_readingSlot = -1;
    // A frame that arrived meanwhile is newer than the one just unpacked.
    if (done && seq == m_frameSeq)
        fImageUnpacked = true;
}

void TVideoImage::GetBitmap(QImage& BMP)
{
    unpackNewest();
    BMP = fBitmap.copy();
}

void TVideoImage::PrepareTables()
{
    // The exact decimal coefficients, scaled by 1000 so the rounding is done on integers.
    for (int i = 0; i < 256; ++i) {
        ValueY_298[size_t(i)] = std::int32_t(roundHalfEven(298082LL * i, 1000));
        ValueU_100[size_t(i)] = std::int32_t(roundHalfEven(-100291LL * i, 1000));
        ValueU_516[size_t(i)] = std::int32_t(roundHalfEven(516412LL * i - 70870016LL, 1000));
        ValueV_409[size_t(i)] = std::int32_t(roundHalfEven(408583LL * i - 57067776LL, 1000));
        ValueV_208[size_t(i)] = std::int32_t(roundHalfEven(-208120LL * i + 34707456LL, 1000));
    }
    for (int k = -1023; k <= 1023; ++k)
        m_clip[size_t(k + 1023)] = std::uint8_t(k < 0 ? 0 : (k > 255 ? 255 : k));
    fYUY2TablesPrepared = true;
}

namespace {

// clip(s) is ValueClip[s div 256] with a truncating division. An arithmetic shift floors
// instead, which differs only for negative sums, and there both land on a zero entry:
// truncation gives 0 (ValueClip[0] = 0), flooring a negative index (all 0).
struct PixelTables
{
    const std::int32_t* y298;
    const std::int32_t* u100;
    const std::int32_t* u516;
    const std::int32_t* v409;
    const std::int32_t* v208;
    const std::uint8_t* clip; // centre of the clip table

    inline void pair(std::uint8_t y0, std::uint8_t y1, std::uint8_t u, std::uint8_t v,
                     std::uint8_t* out) const
    {
        const std::int32_t b = u516[u];
        const std::int32_t g = u100[u] + v208[v];
        const std::int32_t r = v409[v];
        const std::int32_t l0 = y298[y0];
        const std::int32_t l1 = y298[y1];
        out[0] = clip[(l0 + b) >> 8];
        out[1] = clip[(l0 + g) >> 8];
        out[2] = clip[(l0 + r) >> 8];
        out[3] = clip[(l1 + b) >> 8];
        out[4] = clip[(l1 + g) >> 8];
        out[5] = clip[(l1 + r) >> 8];
    }
};

} // namespace

void TVideoImage::YUY2_to_RGB(const std::uint8_t* pData)
{
    if (!fYUY2TablesPrepared)
        PrepareTables();
    const PixelTables t{ValueY_298.data(), ValueU_100.data(), ValueU_516.data(),
                        ValueV_409.data(), ValueV_208.data(), m_clip.data() + 1023};
    const int pairs = fWidth / 2;
    const std::uint8_t* in = pData;
    for (int y = 0; y < fHeight; ++y) {
        std::uint8_t* out = fBitmap.scanLine(y);
        for (int p = 0; p < pairs; ++p, in += 4, out += 6)
            t.pair(in[0], in[2], in[1], in[3], out);
    }
}

void TVideoImage::I420_to_RGB(const std::uint8_t* pData)
{
    if (!fYUY2TablesPrepared)
        PrepareTables();
    const PixelTables t{ValueY_298.data(), ValueU_100.data(), ValueU_516.data(),
                        ValueV_409.data(), ValueV_208.data(), m_clip.data() + 1023};
    const int pairs = fWidth / 2;
    const size_t lumaSize = size_t(fWidth) * size_t(fHeight);
    const size_t chromaSize = lumaSize / 4;
    const std::uint8_t* first = pData + lumaSize;
    const std::uint8_t* second = first + chromaSize;
    const bool yv12 = fFourCC == FourCC_YV12;
    const std::uint8_t* planeU = yv12 ? second : first;
    const std::uint8_t* planeV = yv12 ? first : second;
    const std::uint8_t* luma = pData;
    for (int y = 0; y < fHeight; ++y) {
        const std::uint8_t* u = planeU + size_t(y / 2) * size_t(pairs);
        const std::uint8_t* v = planeV + size_t(y / 2) * size_t(pairs);
        std::uint8_t* out = fBitmap.scanLine(y);
        for (int p = 0; p < pairs; ++p, luma += 2, out += 6)
            t.pair(luma[0], luma[1], u[p], v[p], out);
    }
}

void TVideoImage::copyRgb(const std::uint8_t* pData)
{
    const size_t rowBytes = size_t(fWidth) * 3;
    for (int row = 0; row < fHeight; ++row) {
        // Bottom-up frames start with the bottom image row.
        const int target = m_layout.TopDown ? row : fHeight - 1 - row;
        std::uint8_t* out = fBitmap.scanLine(target);
        const std::uint8_t* in = pData + size_t(row) * rowBytes;
        if (!m_layout.RedFirst) {
            std::memcpy(out, in, rowBytes);
            continue;
        }
        for (int x = 0; x < fWidth; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
}

void TVideoImage::writeUnknownCompression(std::int32_t Size)
{
    if (fBitmap.isNull())
        return;
    const QString code = fFourCC == 0 ? QStringLiteral("RGB") : fourCCText(fFourCC);
    QPainter painter(&fBitmap);
    painter.setPen(Qt::black);
    painter.setBackground(Qt::white);
    painter.setBackgroundMode(Qt::OpaqueMode);
    const QFontMetrics metrics = painter.fontMetrics();
    painter.drawText(0, metrics.ascent(), QStringLiteral("Unknown compression"));
    painter.drawText(0, metrics.height() + metrics.ascent(),
                     QStringLiteral("DataSize: %1  FourCC: %2").arg(Size).arg(code));
}

bool TVideoImage::UnpackFrame(std::int32_t Size, const std::uint8_t* pData)
{
    if (!pData)
        return false;
    try {
        const std::int64_t pixels = std::int64_t(fWidth) * fHeight;
        bool recognised = false;
        switch (fFourCC) {
        case 0:
            recognised = Size == pixels * 3;
            if (recognised)
                copyRgb(pData);
            break;
        case FourCC_I420:
        case FourCC_IYUV:
        case FourCC_YV12:
            recognised = Size == pixels * 3 / 2;
            if (recognised)
                I420_to_RGB(pData);
            break;
        case FourCC_YUY2:
        case FourCC_YUNV:
        case FourCC_YUYV:
            recognised = Size == pixels * 2;
            if (recognised)
                YUY2_to_RGB(pData);
            break;
        case FourCC_MJPG:
            try {
                Jpeg::decodeOnto(pData, size_t(Size), fBitmap);
                recognised = true;
            } catch (const std::exception&) {
                recognised = false;
            }
            break;
        default:
            break;
        }
        if (!recognised)
            writeUnknownCompression(Size);
        return true;
    } catch (...) {
        return false;
    }
}
