#include "app/VexorinApplication.h"

#include "config/Messages.h"

#include <QFile>

VexorinApplication::VexorinApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool VexorinApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        showStandardError(e);
    } catch (...) {
        showStandardError(QStringLiteral("Erro desconhecido."));
    }
    return false;
}

bool VexorinApplication::applyCyanDusk()
{
    // The style lives in a static library, whose resources are not registered by themselves.
    Q_INIT_RESOURCE(style);
    QFile file(QStringLiteral(":/style/CyanDusk.qss"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    setStyle(QStringLiteral("Fusion"));
    setStyleSheet(QString::fromUtf8(file.readAll()));
    return true;
}
