#pragma once

#include "capture/CaptureResult.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// One capability or the current format of a capture source.
struct CaptureFormat
{
    std::int32_t width = 0;
    // Negative for an uncompressed RGB stream whose rows arrive top row first; positive
    // RGB rows run bottom-up. YUV and compressed streams are always top row first.
    std::int32_t height = 0;
    // FourCC_RGB24 ("RGB ") for 24-bit RGB, else the format's own code.
    std::uint32_t fourCC = 0;
    // A 24-bit RGB stream's byte order: red first instead of the usual blue first.
    bool redFirst = false;
    // Bytes of one frame when the format fixes it (0 for compressed formats).
    std::uint32_t sampleSize = 0;
    // Position in the source's own capability list.
    std::int32_t index = 0;
};

// The range of one image control (brightness, contrast, ...).
struct ImageControlRange
{
    std::int32_t min = 0;
    std::int32_t max = 0;
    std::int32_t step = 0;
    std::int32_t defaultValue = 0;
    std::int32_t flags = 0; // ImageControlManual and/or ImageControlAuto
};

inline constexpr std::int32_t ImageControlManual = 1;
inline constexpr std::int32_t ImageControlAuto = 2;

// Image control numbers, in the order the camera code has always used.
enum ImageControl : std::int32_t
{
    ImageControl_Brightness = 0,
    ImageControl_Contrast,
    ImageControl_Hue,
    ImageControl_Saturation,
    ImageControl_Sharpness,
    ImageControl_Gamma,
    ImageControl_ColorEnable,
    ImageControl_WhiteBalance,
    ImageControl_BacklightCompensation,
    ImageControl_Gain,
};

// Called on the source's streaming thread once per frame; the bytes are valid only during
// the call. Must not throw and must not wait for the interface thread.
using FrameReceiver = std::function<void(const std::uint8_t* data, std::int32_t size)>;

// A bound capture device together with the graph that carries its frames to a receiver.
// Everything but the receiver runs on the interface thread.
class CaptureSource
{
public:
    virtual ~CaptureSource() = default;

    // The device's capabilities in its own order (one per width, height and format).
    virtual CaptureResult formats(std::vector<CaptureFormat>& out) = 0;
    // Makes capability `index` the format of the next run.
    virtual CaptureResult setFormat(std::int32_t index) = 0;
    // The format frames arrive in (negotiated when the graph has not run yet).
    virtual CaptureResult currentFormat(CaptureFormat& out) = 0;

    // Builds the graph that ends in the frame receiver; called once before the first run.
    virtual CaptureResult build(FrameReceiver receiver) = 0;
    virtual CaptureResult run() = 0;
    virtual CaptureResult pause() = 0;
    // Returns once the streaming thread has left the receiver for good.
    virtual CaptureResult stop() = 0;

    virtual bool hasImageControls() const = 0;
    virtual CaptureResult imageControlRange(std::int32_t control, ImageControlRange& out) = 0;
    virtual CaptureResult imageControl(std::int32_t control, std::int32_t& value, std::int32_t& flags) = 0;
    virtual CaptureResult setImageControl(std::int32_t control, std::int32_t value, std::int32_t flags) = 0;
};

// A video input device as the platform lists it.
class CaptureDevice
{
public:
    virtual ~CaptureDevice() = default;
    virtual QString friendlyName() const = 0;
    // Creates the device's source; 0 and a source on success.
    virtual CaptureResult bind(std::unique_ptr<CaptureSource>& out) = 0;
};

// The system's video input devices. The default is GStreamer's; tests give their own.
class CapturePlatform
{
public:
    virtual ~CapturePlatform() = default;
    // Fills `out` in the platform's order; 1 when there is no device, negative on failure.
    virtual CaptureResult enumerateDevices(std::vector<std::shared_ptr<CaptureDevice>>& out) = 0;
};

CapturePlatform& defaultCapturePlatform();
