#include "desk/WavPlayer.h"

#include <QFile>
#include <QFileInfo>

#include <gst/gst.h>

#include <memory>

namespace {

struct GstObjectUnref
{
    void operator()(gpointer object) const { gst_object_unref(object); }
};
struct GstMessageUnref
{
    void operator()(GstMessage* message) const { gst_message_unref(message); }
};
using PipelinePtr = std::unique_ptr<GstElement, GstObjectUnref>;
using BusPtr = std::unique_ptr<GstBus, GstObjectUnref>;
using MessagePtr = std::unique_ptr<GstMessage, GstMessageUnref>;

// The bin owns what is added to it; null when the plugin is not installed.
GstElement* addElement(GstElement* bin, const char* factory)
{
    GstElement* element = gst_element_factory_make(factory, nullptr);
    if (element && !gst_bin_add(GST_BIN(bin), element))
        return nullptr;
    return element;
}

} // namespace

bool playWavAndWait(const QString& path, std::chrono::milliseconds timeout, const char* sinkFactory)
{
    if (!QFileInfo(path).isFile())
        return false;
    if (!gst_init_check(nullptr, nullptr, nullptr))
        return false;

    PipelinePtr pipeline(gst_pipeline_new("vexorin-sound"));
    if (!pipeline)
        return false;
    GstElement* source = addElement(pipeline.get(), "filesrc");
    GstElement* parser = addElement(pipeline.get(), "wavparse");
    GstElement* convert = addElement(pipeline.get(), "audioconvert");
    GstElement* resample = addElement(pipeline.get(), "audioresample");
    GstElement* sink = addElement(pipeline.get(), sinkFactory);
    if (!source || !parser || !convert || !resample || !sink)
        return false;
    if (!gst_element_link_many(source, parser, convert, resample, sink, nullptr))
        return false;
    g_object_set(source, "location", QFile::encodeName(path).constData(), nullptr);

    bool finished = false;
    if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE) {
        BusPtr bus(gst_element_get_bus(pipeline.get()));
        const GstClockTime wait = GstClockTime(timeout.count()) * GST_MSECOND;
        MessagePtr message(
            gst_bus_timed_pop_filtered(bus.get(), wait, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
        finished = message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_EOS;
    }
    // Back to NULL before the last reference goes, as GStreamer requires.
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return finished;
}
