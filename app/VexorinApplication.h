#pragma once

#include <QApplication>

// Qt lets no exception cross its event loop: an error that escapes an event handler
// stops here, goes to the standard error box, and the program goes on.
class VexorinApplication : public QApplication
{
public:
    VexorinApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The "Cyan Dusk" look, carried in the program's resources. False when it could
    // not be loaded; the program then runs with the platform's own look.
    bool applyCyanDusk();
};
