#pragma once

#include "capture/CapturePlatform.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// A camera whose answers the test writes down beforehand and whose calls it reads back.
struct ScriptedCamera
{
    std::vector<CaptureFormat> capabilities;
    CaptureFormat current;
    CaptureResult runResult = CaptureCode::Ok;
    CaptureResult pauseResult = CaptureCode::Ok;
    CaptureResult stopResult = CaptureCode::Ok;
    CaptureResult formatResult = CaptureCode::Ok;
    bool hasControls = false;
    std::map<std::int32_t, ImageControlRange> ranges;
    std::map<std::int32_t, std::int32_t> values;
    std::map<std::int32_t, std::int32_t> lastSetFlags;

    std::vector<std::string> calls;
    FrameReceiver receiver;
    bool sourceAlive = false;

    // Plays the streaming thread: hands one frame to the graph's receiver.
    void deliver(const std::vector<std::uint8_t>& frame) const
    {
        if (receiver)
            receiver(frame.data(), std::int32_t(frame.size()));
    }
};

class ScriptedDevice : public CaptureDevice
{
public:
    ScriptedDevice(QString name, std::shared_ptr<ScriptedCamera> camera)
        : m_name(std::move(name)), m_camera(std::move(camera))
    {}
    QString friendlyName() const override { return m_name; }
    CaptureResult bind(std::unique_ptr<CaptureSource>& out) override;

    CaptureResult bindResult = CaptureCode::Ok;
    int bindCount = 0;

private:
    QString m_name;
    std::shared_ptr<ScriptedCamera> m_camera;
};

class ScriptedPlatform : public CapturePlatform
{
public:
    std::shared_ptr<ScriptedCamera> addDevice(const QString& name);
    CaptureResult enumerateDevices(std::vector<std::shared_ptr<CaptureDevice>>& out) override;

    std::vector<std::shared_ptr<ScriptedDevice>> devices;
    CaptureResult enumerateResult = CaptureCode::Ok;
};

CaptureFormat scriptedFormat(int width, int height, std::uint32_t fourCC, int index = 0);
