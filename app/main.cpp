#include "app/VexorinApplication.h"
#include "app/WidgetMessages.h"
#include "config/RegionalFormats.h"
#include "data/TDM.h"
#include "desk/TFormPrincipal.h"

int main(int argc, char** argv)
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

    TFormPrincipal form;
    FormPrincipal = &form;
    form.showMaximized();
    const int code = app.exec();
    FormPrincipal = nullptr;
    Messages::install(nullptr);
    return code;
}
