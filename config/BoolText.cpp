#include "config/BoolText.h"

#include "config/RegionalFormats.h"

#include <stdexcept>

bool boolFromText(const QString& text, const RegionalFormats& formats)
{
    bool ok = false;
    const double number = formats.locale().toDouble(text.trimmed(), &ok);
    if (ok)
        return number != 0.0;
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    throw std::runtime_error(QStringLiteral("'%1' não é um valor booleano válido").arg(text).toStdString());
}
