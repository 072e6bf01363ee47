// Starts the desk as the program does, but with one "Test Camera" whose frames come
// from GStreamer's test pattern, 640 x 480 YUY2.
#include "app/VexorinApplication.h"
#include "app/WidgetMessages.h"
#include "capture/GstCapturePlatform.h"
#include "config/RegionalFormats.h"
#include "data/TDM.h"
#include "desk/TFormPrincipal.h"

int main(int argc, char** argv)
{
    VexorinApplication app(argc, argv);
    app.applyCyanDusk();
    RegionalFormats::setCurrent(RegionalFormats::fromSystem());
    WidgetMessages messages;
    Messages::install(&messages);

    DeviceListPlatform cameras({std::make_shared<GstDescribedDevice>(
        QStringLiteral("Test Camera"), "videotestsrc is-live=true pattern=ball",
        "video/x-raw,format=YUY2,width=640,height=480,framerate=30/1")});

    TDM dm;
    DM = &dm;
    dm.DataModuleCreate();
    TFormPrincipal form(nullptr, &cameras);
    form.showMaximized();
    const int code = app.exec();
    Messages::install(nullptr);
    return code;
}
