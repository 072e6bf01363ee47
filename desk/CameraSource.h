#pragma once

#include <QStringList>

// What the main window asks of its live-picture source. The video image implements
// it; NoCamera stands in where there is none.
class CameraSource
{
public:
    virtual ~CameraSource() = default;

    virtual QStringList GetListOfDevices() = 0;
    virtual void VideoStop() = 0;
};

class NoCamera final : public CameraSource
{
public:
    QStringList GetListOfDevices() override { return {}; }
    void VideoStop() override {}
};
