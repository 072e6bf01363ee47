#include "config/RegionalFormats.h"

#include <optional>
#include <stdexcept>

namespace {
std::optional<RegionalFormats>& currentSlot()
{
    static std::optional<RegionalFormats> slot;
    return slot;
}

QString longTimeFor(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    // Drop the time zone the long format may carry; the desk stores at most 10 characters.
    format.remove(QLatin1String(" t")).remove(QLatin1String("t"));
    format = format.trimmed();
    if (!format.contains(QLatin1String("ss")))
        format = QStringLiteral("HH:mm:ss");
    return format;
}
} // namespace

RegionalFormats::RegionalFormats(const QLocale& locale, QString shortDate, QString longTime)
    : m_locale(locale), m_shortDate(std::move(shortDate)), m_longTime(std::move(longTime))
{}

const RegionalFormats& RegionalFormats::current()
{
    if (!currentSlot())
        currentSlot() = fromSystem();
    return *currentSlot();
}

RegionalFormats RegionalFormats::fromSystem()
{
    const QLocale system = QLocale::system();
    // The date masks of the desk hold dd/mm/yyyy with two-digit day and month, so that
    // is the short date whatever order or width the system's own format has.
    return RegionalFormats(system, QStringLiteral("dd/MM/yyyy"), longTimeFor(system));
}

RegionalFormats RegionalFormats::brazilian()
{
    return RegionalFormats(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("dd/MM/yyyy"),
                           QStringLiteral("HH:mm:ss"));
}

void RegionalFormats::setCurrent(const RegionalFormats& formats)
{
    currentSlot() = formats;
}

QString RegionalFormats::dateToText(const QDate& date) const
{
    return date.toString(m_shortDate);
}

QString RegionalFormats::timeToText(const QTime& time) const
{
    return time.toString(m_longTime);
}

QDate RegionalFormats::textToDate(const QString& text) const
{
    const QDate date = QDate::fromString(text.trimmed(), m_shortDate);
    if (!date.isValid())
        throw std::runtime_error(QStringLiteral("'%1' não é uma data válida").arg(text).toStdString());
    return date;
}
