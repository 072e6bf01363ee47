// Starts the desk as the program does, but with one "Test Camera" whose frames come
// from GStreamer's test pattern, 640 x 480 YUY2.
#include "app/RunDesk.h"
#include "capture/GstCapturePlatform.h"

int main(int argc, char** argv)
{
    DeviceListPlatform cameras({std::make_shared<GstDescribedDevice>(
        QStringLiteral("Test Camera"), "videotestsrc is-live=true pattern=ball",
        "video/x-raw,format=YUY2,width=640,height=480,framerate=30/1")});
    return runDesk(argc, argv, &cameras);
}
