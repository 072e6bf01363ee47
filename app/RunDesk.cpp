#include "app/RunDesk.h"

#include "app/VexorinApplication.h"
#include "app/WidgetMessages.h"
#include "config/RegionalFormats.h"
#include "data/TDM.h"
#include "desk/TFormPrincipal.h"

int runDesk(int argc, char** argv, CapturePlatform* cameras)
{
    VexorinApplication app(argc, argv);
    // A missing style leaves the platform look; it never stops the start-up.
    app.applyCyanDusk();
    RegionalFormats::setCurrent(RegionalFormats::fromSystem());

    WidgetMessages messages;
    Messages::install(&messages);

    TDM dm;
    DM = &dm;
    dm.DataModuleCreate();

    const int code = [&] {
        TFormPrincipal form(nullptr, cameras);
        form.showMaximized();
        return app.exec();
    }();
    DM = nullptr;
    Messages::install(nullptr);
    return code;
}
