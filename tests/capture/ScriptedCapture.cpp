#include "ScriptedCapture.h"

#include "capture/FourCC.h"

namespace {

class ScriptedSource : public CaptureSource
{
public:
    explicit ScriptedSource(std::shared_ptr<ScriptedCamera> camera) : m_camera(std::move(camera))
    {
        m_camera->sourceAlive = true;
    }
    ~ScriptedSource() override
    {
        m_camera->calls.push_back("destroy");
        m_camera->receiver = nullptr;
        m_camera->sourceAlive = false;
    }

    CaptureResult formats(std::vector<CaptureFormat>& out) override
    {
        out = m_camera->capabilities;
        return CaptureCode::Ok;
    }
    CaptureResult setFormat(std::int32_t index) override
    {
        m_camera->calls.push_back("setFormat:" + std::to_string(index));
        if (m_camera->formatResult == CaptureCode::Ok)
            m_camera->current = m_camera->capabilities.at(size_t(index));
        return m_camera->formatResult;
    }
    CaptureResult currentFormat(CaptureFormat& out) override
    {
        out = m_camera->current;
        return m_camera->formatResult;
    }
    CaptureResult build(FrameReceiver receiver) override
    {
        m_camera->calls.push_back("build");
        m_camera->receiver = std::move(receiver);
        return CaptureCode::Ok;
    }
    CaptureResult run() override
    {
        m_camera->calls.push_back("run");
        return m_camera->runResult;
    }
    CaptureResult pause() override
    {
        m_camera->calls.push_back("pause");
        return m_camera->pauseResult;
    }
    CaptureResult stop() override
    {
        m_camera->calls.push_back("stop");
        return m_camera->stopResult;
    }
    bool hasImageControls() const override { return m_camera->hasControls; }
    CaptureResult imageControlRange(std::int32_t control, ImageControlRange& out) override
    {
        const auto found = m_camera->ranges.find(control);
        if (found == m_camera->ranges.end())
            return CaptureCode::PropIdUnsupported;
        out = found->second;
        return CaptureCode::Ok;
    }
    CaptureResult imageControl(std::int32_t control, std::int32_t& value, std::int32_t& flags) override
    {
        if (!m_camera->ranges.count(control))
            return CaptureCode::PropIdUnsupported;
        value = m_camera->values[control];
        flags = ImageControlManual;
        return CaptureCode::Ok;
    }
    CaptureResult setImageControl(std::int32_t control, std::int32_t value, std::int32_t flags) override
    {
        if (!m_camera->ranges.count(control))
            return CaptureCode::PropIdUnsupported;
        m_camera->values[control] = value;
        m_camera->lastSetFlags[control] = flags;
        return CaptureCode::Ok;
    }

private:
    std::shared_ptr<ScriptedCamera> m_camera;
};

} // namespace

CaptureResult ScriptedDevice::bind(std::unique_ptr<CaptureSource>& out)
{
    ++bindCount;
    if (bindResult == CaptureCode::Ok)
        out = std::make_unique<ScriptedSource>(m_camera);
    return bindResult;
}

std::shared_ptr<ScriptedCamera> ScriptedPlatform::addDevice(const QString& name)
{
    auto camera = std::make_shared<ScriptedCamera>();
    camera->capabilities = {scriptedFormat(640, 480, FourCC_YUY2, 0)};
    camera->current = camera->capabilities[0];
    devices.push_back(std::make_shared<ScriptedDevice>(name, camera));
    return camera;
}

CaptureResult ScriptedPlatform::enumerateDevices(std::vector<std::shared_ptr<CaptureDevice>>& out)
{
    out.assign(devices.begin(), devices.end());
    if (enumerateResult != CaptureCode::Ok)
        return enumerateResult;
    return devices.empty() ? CaptureCode::False : CaptureCode::Ok;
}

CaptureFormat scriptedFormat(int width, int height, std::uint32_t fourCC, int index)
{
    CaptureFormat f;
    f.width = width;
    f.height = height;
    f.fourCC = fourCC;
    f.index = index;
    return f;
}
