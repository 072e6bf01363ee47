#include "capture/TVideoSample.h"

#include "capture/FourCC.h"

#include <cstdlib>
#include <utility>

std::int64_t roundHalfEven(std::int64_t num, std::int64_t den)
{
    if (den < 0) {
        num = -num;
        den = -den;
    }
    std::int64_t q = num / den;
    std::int64_t r = num % den;
    // Bring the remainder to [0, den) so q is the floor.
    if (r < 0) {
        r += den;
        --q;
    }
    if (2 * r > den || (2 * r == den && (q & 1) != 0))
        ++q;
    return q;
}

CaptureResult GetCaptureDeviceList(CapturePlatform& platform, QStringList& SL)
{
    SL.clear();
    std::vector<std::shared_ptr<CaptureDevice>> devices;
    CaptureResult hr;
    try {
        hr = platform.enumerateDevices(devices);
    } catch (...) {
        return CaptureCode::Fail;
    }
    for (const auto& device : devices)
        SL.append(device->friendlyName());
    return hr;
}

// The property dialog's view of this object while the graph stands still.
class TVideoSample::Properties : public CaptureProperties
{
public:
    explicit Properties(TVideoSample& owner) : m_owner(owner) {}

    QStringList formats() const override
    {
        QStringList list;
        for (const TFormatInfo& f : m_owner.FormatArr)
            list.append(QStringLiteral("%1*%2  (%3)").arg(f.Width).arg(f.Height).arg(fourCCText(f.FourCC)));
        return list;
    }

    int currentFormat() const override
    {
        CaptureFormat current;
        if (!m_owner.m_source || m_owner.m_source->currentFormat(current) != CaptureCode::Ok)
            return -1;
        for (size_t i = 0; i < m_owner.FormatArr.size(); ++i) {
            const TFormatInfo& f = m_owner.FormatArr[i];
            if (f.Width == current.width && f.Height == std::abs(current.height) &&
                f.FourCC == current.fourCC)
                return int(i);
        }
        return -1;
    }

    void selectFormat(int listIndex) override
    {
        if (m_owner.m_source && listIndex >= 0 && listIndex < int(m_owner.FormatArr.size()))
            m_owner.m_source->setFormat(m_owner.FormatArr[size_t(listIndex)].OIndex);
    }

    std::vector<ImageControlSetting> imageControls() const override
    {
        static const char* const names[] = {"Brilho",    "Contraste",         "Matiz",
                                            "Saturação", "Nitidez",           "Gama",
                                            "Cor",       "Balanço de branco", "Compensação de luz de fundo",
                                            "Ganho"};
        std::vector<ImageControlSetting> list;
        for (std::int32_t c = ImageControl_Brightness; c <= ImageControl_Gain; ++c) {
            ImageControlSetting s;
            s.control = c;
            s.name = QString::fromUtf8(names[c]);
            std::int32_t flags = 0;
            if (m_owner.GetVideoPropAmpEx(c, s.min, s.max, s.step, s.defaultValue, flags, s.value) !=
                CaptureCode::Ok)
                continue;
            ImageControlRange range;
            if (m_owner.m_source->imageControlRange(c, range) == CaptureCode::Ok)
                s.canBeAutomatic = (range.flags & ImageControlAuto) != 0;
            s.automatic = flags == ImageControlAuto;
            list.push_back(s);
        }
        return list;
    }

    void setImageControl(std::int32_t control, std::int32_t value, bool automatic) override
    {
        m_owner.SetVideoPropAmpEx(control, automatic ? ImageControlAuto : ImageControlManual, value);
    }

private:
    TVideoSample& m_owner;
};

TVideoSample::TVideoSample(CapturePlatform& platform, PropertyDialogHook owner, bool ForceRGB,
                           std::int32_t WhichMethodToCallback, CaptureResult& HR)
    : m_platform(platform), ghApp(std::move(owner)), m_whichMethod(WhichMethodToCallback)
{
    // The graph carries frames in the camera's own format; there is no converter to force
    // RGB with, so asking for it is reported and otherwise ignored.
    HR = ForceRGB ? CaptureCode::NotImplemented : CaptureCode::Ok;
}

TVideoSample::~TVideoSample()
{
    Destroy();
}

CaptureResult TVideoSample::StartVideo(const QString& CaptureDeviceName, bool Visible,
                                       QString& DeviceSelected)
{
    if (m_source) {
        m_source->stop();
        m_source.reset();
    }
    m_graphBuilt = false;
    m_hasImageControls = false;
    g_psCurrent = PS_Stopped;
    fVisible = Visible;

    std::unique_ptr<CaptureSource> source;
    const CaptureResult hr = ConnectToCaptureDevice(CaptureDeviceName, DeviceSelected, &source);
    if (CaptureCode::failed(hr))
        return hr;
    if (!source)
        return CaptureCode::Fail;
    m_source = std::move(source);
    LoadListOfResolution();
    return RestartVideo();
}

CaptureResult TVideoSample::RestartVideo()
{
    return RestartVideoEx(fVisible);
}

CaptureResult TVideoSample::RestartVideoEx(bool /*Visible: no on-screen preview on this platform*/)
{
    if (!m_source)
        return CaptureCode::False;
    m_hasImageControls = m_source->hasImageControls();
    if (!m_graphBuilt) {
        CaptureResult hr;
        try {
            hr = m_source->build(
                [this](const std::uint8_t* data, std::int32_t size) { deliverFrame(data, size); });
        } catch (...) {
            hr = CaptureCode::Exception;
        }
        if (hr != CaptureCode::Ok)
            return hr;
        m_graphBuilt = true;
    }
    const CaptureResult hr = m_source->run();
    g_psCurrent = PS_Running;
    return hr;
}

void TVideoSample::deliverFrame(const std::uint8_t* data, std::int32_t size) noexcept
{
    if (size <= 0)
        return;
    try {
        std::lock_guard lock(m_callBackMutex);
        // Frames before SetCallBack have no receiver; the old window-message fall-back
        // went to a window that ignored them, so they are dropped.
        if (CallBack)
            CallBack(data, size);
    } catch (...) {
        // Nothing may unwind into the platform's streaming thread.
    }
}

CaptureResult TVideoSample::ConnectToCaptureDevice(const QString& DeviceName, QString& DeviceSelected,
                                                   std::unique_ptr<CaptureSource>* ppSource)
{
    DeviceSelected.clear();
    QString wanted = DeviceName.trimmed();
    if (wanted.isEmpty())
        wanted = QStringLiteral("#1");
    if (!ppSource)
        return CaptureCode::Pointer;

    std::vector<std::shared_ptr<CaptureDevice>> devices;
    CaptureResult hr;
    try {
        hr = m_platform.enumerateDevices(devices);
    } catch (...) {
        return CaptureCode::Fail;
    }
    if (CaptureCode::failed(hr))
        return hr;
    if (devices.empty())
        return CaptureCode::Fail;

    const QString wantedUpper = wanted.toUpper();
    const bool byPosition = wanted.size() == 2 && wanted[0] == QLatin1Char('#');
    int position = 0;
    hr = CaptureCode::Ok;
    for (const auto& device : devices) {
        try {
            ++position;
            const QString name = device->friendlyName().trimmed();
            const bool match =
                name.toUpper() == wantedUpper ||
                (byPosition && position <= 9 && wanted[1] == QLatin1Char(char('0' + position)));
            if (!match)
                continue;
            DeviceSelected = name;
            std::unique_ptr<CaptureSource> source;
            hr = device->bind(source);
            if (hr == CaptureCode::Ok && source) {
                *ppSource = std::move(source);
                return CaptureCode::Ok;
            }
            if (hr == CaptureCode::Ok)
                hr = CaptureCode::Fail;
            return hr;
        } catch (...) {
            return CaptureCode::Fail;
        }
    }
    return CaptureCode::False;
}

CaptureResult TVideoSample::LoadListOfResolution()
{
    FormatArr.clear();
    if (!m_source)
        return CaptureCode::False;
    std::vector<CaptureFormat> caps;
    const CaptureResult hr = m_source->formats(caps);
    if (hr != CaptureCode::Ok)
        return hr;
    for (const CaptureFormat& c : caps)
        FormatArr.push_back({c.width, std::abs(c.height), c.sampleSize, c.index, c.fourCC});

    // Neighbour swaps until a pass changes nothing: equal sizes keep the device's order.
    if (FormatArr.size() > 1) {
        bool swapped = true;
        while (swapped) {
            swapped = false;
            for (size_t i = 0; i + 1 < FormatArr.size(); ++i) {
                const TFormatInfo& a = FormatArr[i];
                const TFormatInfo& b = FormatArr[i + 1];
                if (a.Width > b.Width || (a.Width == b.Width && a.Height > b.Height)) {
                    std::swap(FormatArr[i], FormatArr[i + 1]);
                    swapped = true;
                }
            }
        }
    }
    return hr;
}

CaptureResult TVideoSample::PauseVideo()
{
    switch (g_psCurrent) {
    case PS_Running: {
        const CaptureResult hr = m_source ? m_source->pause() : CaptureCode::False;
        if (hr == CaptureCode::Ok)
            g_psCurrent = PS_Paused;
        return hr;
    }
    case PS_Paused:
        return CaptureCode::Ok;
    case PS_Stopped:
        break;
    }
    return CaptureCode::False;
}

CaptureResult TVideoSample::ResumeVideo()
{
    switch (g_psCurrent) {
    case PS_Paused: {
        const CaptureResult hr = m_source ? m_source->run() : CaptureCode::False;
        if (hr == CaptureCode::Ok)
            g_psCurrent = PS_Running;
        return hr;
    }
    case PS_Running:
        return CaptureCode::Ok;
    case PS_Stopped:
        break;
    }
    return CaptureCode::False;
}

CaptureResult TVideoSample::StopVideo()
{
    const CaptureResult hr = m_source ? m_source->stop() : CaptureCode::Ok;
    g_psCurrent = PS_Stopped;
    FormatArr.clear();
    return hr;
}

CaptureResult TVideoSample::SetPreviewState(bool nShow)
{
    if (!m_source)
        return CaptureCode::Ok;
    if (nShow) {
        if (g_psCurrent == PS_Running)
            return CaptureCode::Ok;
        const CaptureResult hr = m_source->run();
        g_psCurrent = PS_Running;
        return hr;
    }
    const CaptureResult hr = m_source->stop();
    g_psCurrent = PS_Stopped;
    return hr;
}

void TVideoSample::SetCallBack(TVideoSampleCallBack CB)
{
    std::lock_guard lock(m_callBackMutex);
    CallBack = std::move(CB);
}

void TVideoSample::GetListOfVideoSizes(QStringList& VidSize) const
{
    VidSize.clear();
    if (g_psCurrent == PS_Stopped)
        return;
    for (const TFormatInfo& f : FormatArr)
        VidSize.append(QStringLiteral("%1*%2  (%3)").arg(f.Width).arg(f.Height).arg(fourCCText(f.FourCC)));
}

CaptureResult TVideoSample::SetVideoSizeByListIndex(std::int32_t ListIndex)
{
    if (ListIndex < 0 || ListIndex >= std::int32_t(FormatArr.size()) || !m_source)
        return CaptureCode::False;
    const std::int32_t index = FormatArr[size_t(ListIndex)].OIndex;
    m_source->stop();
    const CaptureResult hr = m_source->setFormat(index);
    m_source->run();
    return hr;
}

CaptureResult TVideoSample::GetStreamInfo(std::int32_t& Width, std::int32_t& Height, std::uint32_t& FourCC)
{
    Width = 0;
    Height = 0;
    if (!m_source)
        return CaptureCode::False;
    m_source->stop();
    CaptureFormat current;
    const CaptureResult hr = m_source->currentFormat(current);
    if (hr == CaptureCode::Ok) {
        Width = current.width;
        Height = std::abs(current.height);
        FourCC = current.fourCC == FourCC_RGB24 ? 0 : current.fourCC;
        m_layout = {current.height < 0, current.redFirst};
    }
    m_source->run();
    return hr;
}

CaptureResult TVideoSample::ShowPropertyDialogEx(const QString& caption)
{
    if (!ghApp)
        return CaptureCode::NoInterface;
    Properties properties(*this);
    ghApp(caption, properties);
    return CaptureCode::Ok;
}

CaptureResult TVideoSample::ShowPropertyDialog()
{
    if (!m_source)
        return CaptureCode::False;
    return ShowPropertyDialogEx(QStringLiteral("Video Capture"));
}

CaptureResult TVideoSample::ShowPropertyDialog_CaptureStream()
{
    if (!m_source)
        return CaptureCode::False;
    m_source->stop();
    // The dialog is a window and may throw; the graph runs again whatever happens.
    struct Rerun
    {
        CaptureSource& source;
        ~Rerun() { source.run(); }
    } rerun{*m_source};
    return ShowPropertyDialogEx(QString());
}

CaptureResult TVideoSample::ShowVfWCaptureDlg()
{
    // No capture source of this platform has the old drivers' source dialog.
    if (!m_source)
        return CaptureCode::False;
    m_source->stop();
    m_source->run();
    return CaptureCode::NoInterface;
}

CaptureResult TVideoSample::GetVideoPropAmpEx(std::int32_t Prop, std::int32_t& pMin, std::int32_t& pMax,
                                              std::int32_t& pSteppingDelta, std::int32_t& pDefault,
                                              std::int32_t& pCapsFlags, std::int32_t& pActual)
{
    if (!m_source || !m_hasImageControls)
        return CaptureCode::False;
    ImageControlRange range;
    CaptureResult hr = m_source->imageControlRange(Prop, range);
    pMin = range.min;
    pMax = range.max;
    pSteppingDelta = range.step;
    pDefault = range.defaultValue;
    pCapsFlags = range.flags;
    pActual = range.defaultValue;
    if (hr == CaptureCode::Ok)
        hr = m_source->imageControl(Prop, pActual, pCapsFlags);
    return hr;
}

CaptureResult TVideoSample::SetVideoPropAmpEx(std::int32_t Prop, std::int32_t pCapsFlags,
                                              std::int32_t pActual)
{
    if (!m_source || !m_hasImageControls)
        return CaptureCode::False;
    return m_source->setImageControl(Prop, pActual, pCapsFlags);
}

void TVideoSample::GetVideoPropAmpPercent(std::int32_t Prop, std::int32_t& AcPerCent)
{
    std::int32_t min = 0, max = 0, step = 0, def = 0, flags = 0, actual = 0;
    if (GetVideoPropAmpEx(Prop, min, max, step, def, flags, actual) != CaptureCode::Ok) {
        AcPerCent = -1;
        return;
    }
    // Exact rational arithmetic: the halves must round to even as decimal values, which a
    // binary floating-point product does not guarantee.
    const std::int64_t span = std::int64_t(max) - min;
    AcPerCent = span == 0 ? 0 : std::int32_t(roundHalfEven((std::int64_t(actual) - min) * 100, span));
}

void TVideoSample::SetVideoPropAmpPercent(std::int32_t Prop, std::int32_t AcPerCent)
{
    std::int32_t min = 0, max = 0, step = 0, def = 0, flags = 0, actual = 0;
    if (GetVideoPropAmpEx(Prop, min, max, step, def, flags, actual) != CaptureCode::Ok)
        return;
    ImageControlRange range;
    m_source->imageControlRange(Prop, range);
    std::int32_t value;
    if (AcPerCent < 0 || AcPerCent > 100) {
        value = def;
    } else {
        std::int64_t v = roundHalfEven((std::int64_t(max) - min) * AcPerCent, 100);
        if (step != 0)
            v = v / step * step;
        value = std::int32_t(v + min);
    }
    m_source->setImageControl(Prop, value, range.flags);
}

void TVideoSample::Destroy()
{
    if (!m_source)
        return;
    // Stop first: once stop returns, the streaming thread is out of deliverFrame for good.
    SetPreviewState(false);
    m_source->stop();
    SetCallBack(nullptr);
    g_psCurrent = PS_Stopped;
    try {
        m_source.reset();
    } catch (...) {
    }
    m_graphBuilt = false;
    m_hasImageControls = false;
    FormatArr.clear();
}
