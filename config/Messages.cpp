#include "config/Messages.h"

#include <QDebug>

namespace {
class SilentMessages final : public Messages
{
public:
    bool show(Kind, const QString& text, const QString&) override
    {
        qWarning().noquote() << text;
        return false;
    }
};

Messages*& installed()
{
    static Messages* service = nullptr;
    return service;
}
} // namespace

Messages& Messages::instance()
{
    static SilentMessages silent;
    return installed() ? *installed() : silent;
}

void Messages::install(Messages* service)
{
    installed() = service;
}

void showStandardError(const QString& text)
{
    Messages::instance().show(Messages::Kind::StandardError, text, QStringLiteral("Vexorin"));
}

void showStandardError(const std::exception& error)
{
    showStandardError(QString::fromUtf8(error.what()));
}
