#include "capture/GstCapturePlatform.h"

#include "capture/FourCC.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/colorbalance.h>
#include <gst/video/video.h>

#include <linux/videodev2.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <limits>
#include <map>
#include <mutex>

namespace {

struct ObjectUnref
{
    void operator()(gpointer p) const
    {
        if (p)
            gst_object_unref(p);
    }
};
template <class T> using GstPtr = std::unique_ptr<T, ObjectUnref>;

struct CapsUnref
{
    void operator()(GstCaps* c) const
    {
        if (c)
            gst_caps_unref(c);
    }
};
using CapsPtr = std::unique_ptr<GstCaps, CapsUnref>;

struct SampleUnref
{
    void operator()(GstSample* s) const
    {
        if (s)
            gst_sample_unref(s);
    }
};
using SamplePtr = std::unique_ptr<GstSample, SampleUnref>;

// A buffer mapped for reading for the life of the object.
class MappedBuffer
{
public:
    explicit MappedBuffer(GstBuffer* buffer) : m_buffer(buffer)
    {
        m_mapped = buffer && gst_buffer_map(buffer, &m_info, GST_MAP_READ);
    }
    ~MappedBuffer()
    {
        if (m_mapped)
            gst_buffer_unmap(m_buffer, &m_info);
    }
    MappedBuffer(const MappedBuffer&) = delete;
    MappedBuffer& operator=(const MappedBuffer&) = delete;

    bool ok() const { return m_mapped; }
    const std::uint8_t* data() const { return m_info.data; }
    gsize size() const { return m_info.size; }

private:
    GstBuffer* m_buffer;
    GstMapInfo m_info{};
    bool m_mapped = false;
};

void ensureGstreamer()
{
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

std::vector<int> intValues(const GstStructure* s, const char* field)
{
    std::vector<int> values;
    const GValue* v = gst_structure_get_value(s, field);
    if (!v)
        return values;
    if (G_VALUE_HOLDS_INT(v)) {
        values.push_back(g_value_get_int(v));
    } else if (GST_VALUE_HOLDS_LIST(v)) {
        for (guint i = 0; i < gst_value_list_get_size(v); ++i) {
            const GValue* item = gst_value_list_get_value(v, i);
            if (G_VALUE_HOLDS_INT(item))
                values.push_back(g_value_get_int(item));
        }
    } else if (GST_VALUE_HOLDS_INT_RANGE(v)) {
        // A stepwise device: offer its two ends.
        values.push_back(gst_value_get_int_range_min(v));
        if (gst_value_get_int_range_max(v) != gst_value_get_int_range_min(v))
            values.push_back(gst_value_get_int_range_max(v));
    }
    return values;
}

std::vector<QByteArray> formatNames(const GstStructure* s)
{
    std::vector<QByteArray> names;
    const GValue* v = gst_structure_get_value(s, "format");
    if (!v)
        return names;
    if (G_VALUE_HOLDS_STRING(v)) {
        names.emplace_back(g_value_get_string(v));
    } else if (GST_VALUE_HOLDS_LIST(v)) {
        for (guint i = 0; i < gst_value_list_get_size(v); ++i) {
            const GValue* item = gst_value_list_get_value(v, i);
            if (G_VALUE_HOLDS_STRING(item))
                names.emplace_back(g_value_get_string(item));
        }
    }
    return names;
}

// GStreamer's 24-bit RGB formats are top row first; "BGR" has the blue-first byte order
// of the classic RGB24 frame, "RGB" the red-first one.
void describeRaw(const QByteArray& format, int width, int height, CaptureFormat& out)
{
    const bool rgb24 = format == "RGB" || format == "BGR";
    out.width = width;
    out.height = rgb24 ? -height : height;
    out.fourCC = rgb24 ? FourCC_RGB24 : fourCCFromName(format);
    out.redFirst = format == "RGB";
    GstVideoInfo info;
    const GstVideoFormat vf = gst_video_format_from_string(format.constData());
    if (vf != GST_VIDEO_FORMAT_UNKNOWN && gst_video_info_set_format(&info, vf, guint(width), guint(height)))
        out.sampleSize = std::uint32_t(info.size);
}

struct Capability
{
    CaptureFormat format;
    CapsPtr caps; // the fixed caps that select it on the caps filter
};

std::vector<Capability> capabilitiesOf(GstCaps* caps)
{
    std::vector<Capability> list;
    if (!caps)
        return list;
    for (guint i = 0; i < gst_caps_get_size(caps); ++i) {
        const GstStructure* s = gst_caps_get_structure(caps, i);
        const QByteArray name = gst_structure_get_name(s);
        std::vector<QByteArray> formats;
        if (name == "video/x-raw")
            formats = formatNames(s);
        else if (name == "image/jpeg")
            formats.emplace_back();
        else
            continue;
        for (const QByteArray& format : formats) {
            for (int w : intValues(s, "width")) {
                for (int h : intValues(s, "height")) {
                    CaptureFormat f;
                    if (name == "image/jpeg") {
                        f.width = w;
                        f.height = h;
                        f.fourCC = FourCC_MJPG;
                    } else {
                        describeRaw(format, w, h, f);
                    }
                    bool seen = false;
                    for (const Capability& c : list)
                        seen = seen || (c.format.width == f.width && c.format.height == f.height &&
                                        c.format.fourCC == f.fourCC && c.format.redFirst == f.redFirst);
                    if (seen)
                        continue;
                    f.index = std::int32_t(list.size());
                    GstStructure* fixed = gst_structure_copy(s);
                    if (!format.isEmpty())
                        gst_structure_set(fixed, "format", G_TYPE_STRING, format.constData(), nullptr);
                    gst_structure_set(fixed, "width", G_TYPE_INT, w, "height", G_TYPE_INT, h, nullptr);
                    CapsPtr one(gst_caps_new_empty());
                    gst_caps_append_structure(one.get(), fixed);
                    list.push_back({f, std::move(one)});
                }
            }
        }
    }
    return list;
}

bool formatOfCaps(GstCaps* caps, CaptureFormat& out)
{
    if (!caps || gst_caps_get_size(caps) == 0)
        return false;
    const GstStructure* s = gst_caps_get_structure(caps, 0);
    const QByteArray name = gst_structure_get_name(s);
    int w = 0, h = 0;
    if (!gst_structure_get_int(s, "width", &w) || !gst_structure_get_int(s, "height", &h))
        return false;
    out = CaptureFormat{};
    if (name == "image/jpeg") {
        out.width = w;
        out.height = h;
        out.fourCC = FourCC_MJPG;
        return true;
    }
    const char* format = gst_structure_get_string(s, "format");
    if (name != "video/x-raw" || !format)
        return false;
    describeRaw(format, w, h, out);
    return true;
}

// Colour-balance labels differ by source ("BRIGHTNESS" for videobalance, the driver's
// "Brightness" for V4L2); matched by a lower-case part of the label.
const char* const controlLabels[] = {"brightness", "contrast", "hue",           "saturation", "sharpness",
                                     "gamma",      nullptr,    "white balance", "backlight",  "gain"};

// V4L2 controls of each image control, with the control that switches it to automatic.
struct V4l2Control
{
    __u32 id;
    __u32 autoId; // 0: none
};
const V4l2Control v4l2Controls[] = {
    {V4L2_CID_BRIGHTNESS, 0},
    {V4L2_CID_CONTRAST, 0},
    {V4L2_CID_HUE, V4L2_CID_HUE_AUTO},
    {V4L2_CID_SATURATION, 0},
    {V4L2_CID_SHARPNESS, 0},
    {V4L2_CID_GAMMA, 0},
    {0, 0}, // no V4L2 counterpart of the colour-enable switch
    {V4L2_CID_WHITE_BALANCE_TEMPERATURE, V4L2_CID_AUTO_WHITE_BALANCE},
    {V4L2_CID_BACKLIGHT_COMPENSATION, 0},
    {V4L2_CID_GAIN, V4L2_CID_AUTOGAIN},
};

int xioctl(int fd, unsigned long request, void* arg)
{
    int r;
    do
        r = ioctl(fd, request, arg);
    while (r == -1 && errno == EINTR);
    return r;
}

bool v4l2Query(int fd, __u32 id, v4l2_queryctrl& out)
{
    out = v4l2_queryctrl{};
    out.id = id;
    return id != 0 && xioctl(fd, VIDIOC_QUERYCTRL, &out) == 0 && !(out.flags & V4L2_CTRL_FLAG_DISABLED);
}

bool v4l2Get(int fd, __u32 id, std::int32_t& value)
{
    v4l2_control c{id, 0};
    if (xioctl(fd, VIDIOC_G_CTRL, &c) != 0)
        return false;
    value = c.value;
    return true;
}

bool v4l2Set(int fd, __u32 id, std::int32_t value)
{
    v4l2_control c{id, value};
    return xioctl(fd, VIDIOC_S_CTRL, &c) == 0;
}

// Source element ! caps filter ! appsink; frames reach the receiver in the device's own
// format. The appsink's callback runs on the streaming thread.
class GstPipelineSource : public CaptureSource
{
public:
    GstPipelineSource(GstElement* source, GstCaps* offered)
        : m_source(GST_ELEMENT(gst_object_ref_sink(source))), m_capabilities(capabilitiesOf(offered))
    {
        GstElementFactory* factory = gst_element_get_factory(source);
        m_isV4l2 = factory && QByteArray(GST_OBJECT_NAME(factory)) == "v4l2src";
        if (GST_IS_COLOR_BALANCE(source))
            m_balanceElement.reset(GST_ELEMENT(gst_object_ref(source)));
        else if (GST_IS_BIN(source))
            m_balanceElement.reset(gst_bin_get_by_interface(GST_BIN(source), GST_TYPE_COLOR_BALANCE));
    }

    ~GstPipelineSource() override
    {
        if (m_pipeline)
            gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
    }

    CaptureResult formats(std::vector<CaptureFormat>& out) override
    {
        out.clear();
        for (const Capability& c : m_capabilities)
            out.push_back(c.format);
        return CaptureCode::Ok;
    }

    CaptureResult setFormat(std::int32_t index) override
    {
        if (index < 0 || index >= std::int32_t(m_capabilities.size()))
            return CaptureCode::Fail;
        m_selected = index;
        if (m_filter)
            g_object_set(m_filter, "caps", m_capabilities[size_t(index)].caps.get(), nullptr);
        std::lock_guard lock(m_formatMutex);
        m_negotiatedValid = false;
        return CaptureCode::Ok;
    }

    CaptureResult currentFormat(CaptureFormat& out) override
    {
        {
            std::lock_guard lock(m_formatMutex);
            if (m_negotiatedValid) {
                out = m_negotiated;
                return CaptureCode::Ok;
            }
        }
        if (m_selected >= 0) {
            out = m_capabilities[size_t(m_selected)].format;
            return CaptureCode::Ok;
        }
        if (!m_pipeline)
            return CaptureCode::Fail;
        // Nothing chosen and nothing run yet: let the device negotiate its own default. A
        // live source sends nothing while paused, and an encoder behind it announces its
        // caps only with its first frame, so this has to play.
        if (gst_element_set_state(m_pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
            return CaptureCode::Fail;
        std::unique_lock lock(m_formatMutex);
        if (!m_formatChanged.wait_for(lock, std::chrono::seconds(5), [this] { return m_negotiatedValid; }))
            return CaptureCode::Fail;
        out = m_negotiated;
        return CaptureCode::Ok;
    }

    CaptureResult build(FrameReceiver receiver) override
    {
        if (m_pipeline)
            return CaptureCode::Ok;
        m_receiver = std::move(receiver);
        GstPtr<GstElement> pipeline(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new("capture"))));
        GstElement* filter = gst_element_factory_make("capsfilter", "filter");
        GstElement* sink = gst_element_factory_make("appsink", "grabber");
        if (!pipeline || !filter || !sink) {
            if (filter)
                gst_object_unref(gst_object_ref_sink(filter));
            if (sink)
                gst_object_unref(gst_object_ref_sink(sink));
            return CaptureCode::Fail;
        }
        gst_bin_add_many(GST_BIN(pipeline.get()), m_source.get(), filter, sink, nullptr);
        if (!gst_element_link_many(m_source.get(), filter, sink, nullptr))
            return CaptureCode::Fail;
        if (m_selected >= 0)
            g_object_set(filter, "caps", m_capabilities[size_t(m_selected)].caps.get(), nullptr);
        // The appsink stands for grabber and null renderer: no clock sync, nothing kept.
        g_object_set(sink, "sync", FALSE, "max-buffers", 1u, "drop", TRUE, "enable-last-sample", FALSE,
                     "emit-signals", FALSE, nullptr);
        GstAppSinkCallbacks callbacks{};
        callbacks.new_sample = &GstPipelineSource::onNewSample;
        gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);
        GstPtr<GstPad> pad(gst_element_get_static_pad(sink, "sink"));
        gst_pad_add_probe(pad.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &GstPipelineSource::onEvent, this,
                          nullptr);
        m_filter = filter;
        m_pipeline = std::move(pipeline);
        return CaptureCode::Ok;
    }

    CaptureResult run() override { return setState(GST_STATE_PLAYING); }
    CaptureResult pause() override { return setState(GST_STATE_PAUSED); }
    // READY keeps the device open; reaching it deactivates the pads, which waits for the
    // streaming thread to leave the appsink callback.
    CaptureResult stop() override { return setState(GST_STATE_READY); }

    bool hasImageControls() const override { return m_isV4l2 || m_balanceElement != nullptr; }

    CaptureResult imageControlRange(std::int32_t control, ImageControlRange& out) override
    {
        if (const int fd = v4l2Fd(); fd >= 0 && control >= 0 && control <= ImageControl_Gain) {
            v4l2_queryctrl q;
            if (!v4l2Query(fd, v4l2Controls[control].id, q))
                return CaptureCode::PropIdUnsupported;
            v4l2_queryctrl a;
            out.min = q.minimum;
            out.max = q.maximum;
            out.step = q.step;
            out.defaultValue = q.default_value;
            out.flags =
                ImageControlManual | (v4l2Query(fd, v4l2Controls[control].autoId, a) ? ImageControlAuto : 0);
            return CaptureCode::Ok;
        }
        GstColorBalanceChannel* channel = channelFor(control);
        if (!channel)
            return CaptureCode::PropIdUnsupported;
        out.min = channel->min_value;
        out.max = channel->max_value;
        out.step = 1;
        auto found = m_defaults.find(control);
        if (found == m_defaults.end())
            found = m_defaults.emplace(control, gst_color_balance_get_value(balance(), channel)).first;
        out.defaultValue = found->second;
        out.flags = ImageControlManual;
        return CaptureCode::Ok;
    }

    CaptureResult imageControl(std::int32_t control, std::int32_t& value, std::int32_t& flags) override
    {
        if (const int fd = v4l2Fd(); fd >= 0 && control >= 0 && control <= ImageControl_Gain) {
            if (!v4l2Get(fd, v4l2Controls[control].id, value))
                return CaptureCode::PropIdUnsupported;
            std::int32_t automatic = 0;
            const __u32 autoId = v4l2Controls[control].autoId;
            flags =
                autoId && v4l2Get(fd, autoId, automatic) && automatic ? ImageControlAuto : ImageControlManual;
            return CaptureCode::Ok;
        }
        GstColorBalanceChannel* channel = channelFor(control);
        if (!channel)
            return CaptureCode::PropIdUnsupported;
        value = gst_color_balance_get_value(balance(), channel);
        flags = ImageControlManual;
        return CaptureCode::Ok;
    }

    CaptureResult setImageControl(std::int32_t control, std::int32_t value, std::int32_t flags) override
    {
        if (const int fd = v4l2Fd(); fd >= 0 && control >= 0 && control <= ImageControl_Gain) {
            const V4l2Control& c = v4l2Controls[control];
            v4l2_queryctrl q;
            if (!v4l2Query(fd, c.id, q))
                return CaptureCode::PropIdUnsupported;
            const bool automatic = flags == ImageControlAuto;
            if (c.autoId)
                v4l2Set(fd, c.autoId, automatic ? 1 : 0);
            // While automatic the driver owns the value and may refuse it.
            if (!automatic && !v4l2Set(fd, c.id, value))
                return CaptureCode::Fail;
            return CaptureCode::Ok;
        }
        GstColorBalanceChannel* channel = channelFor(control);
        if (!channel)
            return CaptureCode::PropIdUnsupported;
        if (m_defaults.find(control) == m_defaults.end())
            m_defaults.emplace(control, gst_color_balance_get_value(balance(), channel));
        gst_color_balance_set_value(balance(), channel, value);
        return CaptureCode::Ok;
    }

private:
    // The V4L2 device's descriptor while v4l2src holds it open (READY and above), else -1.
    int v4l2Fd() const
    {
        if (!m_isV4l2)
            return -1;
        gint fd = -1;
        g_object_get(m_source.get(), "device-fd", &fd, nullptr);
        return fd;
    }

    GstColorBalance* balance() const { return GST_COLOR_BALANCE(m_balanceElement.get()); }

    GstColorBalanceChannel* channelFor(std::int32_t control) const
    {
        if (!m_balanceElement || control < 0 || control > ImageControl_Gain || !controlLabels[control])
            return nullptr;
        for (const GList* l = gst_color_balance_list_channels(balance()); l; l = l->next) {
            auto* channel = static_cast<GstColorBalanceChannel*>(l->data);
            if (QByteArray(channel->label).toLower().contains(controlLabels[control]))
                return channel;
        }
        return nullptr;
    }

    CaptureResult setState(GstState state)
    {
        if (!m_pipeline)
            return CaptureCode::False;
        const GstStateChangeReturn r = gst_element_set_state(m_pipeline.get(), state);
        // Nobody watches this bus; drop what state changes and errors left on it.
        GstPtr<GstBus> bus(gst_element_get_bus(m_pipeline.get()));
        while (GstMessage* m = gst_bus_pop(bus.get()))
            gst_message_unref(m);
        return r == GST_STATE_CHANGE_FAILURE ? CaptureCode::Fail : CaptureCode::Ok;
    }

    // Streaming thread.
    static GstFlowReturn onNewSample(GstAppSink* sink, gpointer user)
    {
        auto* self = static_cast<GstPipelineSource*>(user);
        SamplePtr sample(gst_app_sink_pull_sample(sink));
        if (!sample)
            return GST_FLOW_EOS;
        MappedBuffer map(gst_sample_get_buffer(sample.get()));
        if (map.ok() && map.size() > 0 && map.size() <= gsize(std::numeric_limits<std::int32_t>::max())) {
            try {
                self->m_receiver(map.data(), std::int32_t(map.size()));
            } catch (...) {
                // Exceptions stop here, on the streaming thread's edge.
            }
        }
        return GST_FLOW_OK;
    }

    // Streaming thread: remember the format the frames will come in.
    static GstPadProbeReturn onEvent(GstPad*, GstPadProbeInfo* info, gpointer user)
    {
        GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
        if (event && GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
            auto* self = static_cast<GstPipelineSource*>(user);
            GstCaps* caps = nullptr;
            gst_event_parse_caps(event, &caps);
            CaptureFormat format;
            if (formatOfCaps(caps, format)) {
                for (const Capability& c : self->m_capabilities)
                    if (c.format.width == format.width && c.format.height == format.height &&
                        c.format.fourCC == format.fourCC)
                        format.index = c.format.index;
                {
                    std::lock_guard lock(self->m_formatMutex);
                    self->m_negotiated = format;
                    self->m_negotiatedValid = true;
                }
                self->m_formatChanged.notify_all();
            }
        }
        return GST_PAD_PROBE_OK;
    }

    GstPtr<GstElement> m_source;
    bool m_isV4l2 = false;
    GstPtr<GstElement> m_balanceElement;
    std::vector<Capability> m_capabilities;
    std::int32_t m_selected = -1;
    std::map<std::int32_t, std::int32_t> m_defaults;
    GstPtr<GstElement> m_pipeline;
    GstElement* m_filter = nullptr; // owned by m_pipeline
    // Set in build() before the pipeline first leaves NULL; read only by the streaming thread.
    FrameReceiver m_receiver;
    // Guards m_negotiated and m_negotiatedValid, written by the caps probe on the streaming
    // thread and read on the interface thread.
    std::mutex m_formatMutex;
    std::condition_variable m_formatChanged;
    CaptureFormat m_negotiated;
    bool m_negotiatedValid = false;
};

class GstMonitorDevice : public CaptureDevice
{
public:
    explicit GstMonitorDevice(GstDevice* device) : m_device(device) {}

    QString friendlyName() const override
    {
        gchar* name = gst_device_get_display_name(m_device.get());
        const QString text = QString::fromUtf8(name);
        g_free(name);
        return text;
    }

    CaptureResult bind(std::unique_ptr<CaptureSource>& out) override
    {
        GstElement* element = gst_device_create_element(m_device.get(), nullptr);
        if (!element)
            return CaptureCode::Fail;
        CapsPtr caps(gst_device_get_caps(m_device.get()));
        out = std::make_unique<GstPipelineSource>(element, caps.get());
        return CaptureCode::Ok;
    }

private:
    GstPtr<GstDevice> m_device;
};

} // namespace

GstCapturePlatform::GstCapturePlatform()
{
    ensureGstreamer();
}

CaptureResult GstCapturePlatform::enumerateDevices(std::vector<std::shared_ptr<CaptureDevice>>& out)
{
    out.clear();
    GstPtr<GstDeviceMonitor> monitor(gst_device_monitor_new());
    if (!monitor)
        return CaptureCode::Fail;
    gst_device_monitor_add_filter(monitor.get(), "Video/Source", nullptr);
    GList* devices = gst_device_monitor_get_devices(monitor.get());
    for (GList* l = devices; l; l = l->next)
        out.push_back(std::make_shared<GstMonitorDevice>(static_cast<GstDevice*>(l->data)));
    g_list_free(devices);
    return out.empty() ? CaptureCode::False : CaptureCode::Ok;
}

GstDescribedDevice::GstDescribedDevice(QString friendlyName, QByteArray sourceDescription,
                                       QByteArray offeredCaps)
    : m_name(std::move(friendlyName)), m_description(std::move(sourceDescription)),
      m_caps(std::move(offeredCaps))
{
    ensureGstreamer();
}

CaptureResult GstDescribedDevice::bind(std::unique_ptr<CaptureSource>& out)
{
    // The bin ends in the offered caps, so an unconstrained start negotiates the first of
    // them, as a camera starts in its own default format.
    const QByteArray description = m_description + " ! capsfilter caps=\"" + m_caps + "\"";
    GError* error = nullptr;
    GstElement* bin = gst_parse_bin_from_description(description.constData(), TRUE, &error);
    if (error) {
        g_error_free(error);
        if (bin)
            gst_object_unref(gst_object_ref_sink(bin));
        return CaptureCode::Fail;
    }
    CapsPtr caps(gst_caps_from_string(m_caps.constData()));
    out = std::make_unique<GstPipelineSource>(bin, caps.get());
    return CaptureCode::Ok;
}

CapturePlatform& defaultCapturePlatform()
{
    static GstCapturePlatform platform;
    return platform;
}
