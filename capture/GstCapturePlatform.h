#pragma once

#include "capture/CapturePlatform.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

// The system's cameras through GStreamer: a device monitor over "Video/Source".
class GstCapturePlatform : public CapturePlatform
{
public:
    GstCapturePlatform();
    CaptureResult enumerateDevices(std::vector<std::shared_ptr<CaptureDevice>>& out) override;
};

// A device whose source is a GStreamer pipeline description (for instance
// "videotestsrc is-live=true ! jpegenc"), offering the given caps (one structure per
// capability, as in "video/x-raw,format=YUY2,width=640,height=480,framerate=30/1").
// The test programs and the developer harness build their cameras from these.
class GstDescribedDevice : public CaptureDevice
{
public:
    GstDescribedDevice(QString friendlyName, QByteArray sourceDescription, QByteArray offeredCaps);
    QString friendlyName() const override { return m_name; }
    CaptureResult bind(std::unique_ptr<CaptureSource>& out) override;

private:
    QString m_name;
    QByteArray m_description;
    QByteArray m_caps;
};

// A fixed list of devices, in the given order.
class DeviceListPlatform : public CapturePlatform
{
public:
    explicit DeviceListPlatform(std::vector<std::shared_ptr<CaptureDevice>> devices = {})
        : m_devices(std::move(devices))
    {}
    void add(std::shared_ptr<CaptureDevice> device) { m_devices.push_back(std::move(device)); }
    CaptureResult enumerateDevices(std::vector<std::shared_ptr<CaptureDevice>>& out) override
    {
        out = m_devices;
        return m_devices.empty() ? CaptureCode::False : CaptureCode::Ok;
    }

private:
    std::vector<std::shared_ptr<CaptureDevice>> m_devices;
};
