#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

// The machine's regional settings, read once from the system locale: what the desk
// means by "short date", "long time" and the decimal separator.
class RegionalFormats
{
public:
    RegionalFormats(const QLocale& locale, QString shortDate, QString longTime);

    static const RegionalFormats& current();
    static RegionalFormats fromSystem();
    static RegionalFormats brazilian();
    // Tests pin Brazilian settings through this.
    static void setCurrent(const RegionalFormats& formats);

    const QLocale& locale() const { return m_locale; }
    const QString& shortDateFormat() const { return m_shortDate; }
    const QString& longTimeFormat() const { return m_longTime; }

    QString dateToText(const QDate& date) const;
    QString timeToText(const QTime& time) const;
    // Throws std::runtime_error when the text is not a date of the short format.
    QDate textToDate(const QString& text) const;

private:
    QLocale m_locale;
    QString m_shortDate;
    QString m_longTime;
};
