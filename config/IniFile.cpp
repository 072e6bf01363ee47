#include "config/IniFile.h"

#include <QFile>
#include <QTextStream>

IniFile::IniFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    // The installations' files are written by Windows editors in the ANSI code page;
    // Latin-1 reads every byte and is exact for the Portuguese letters.
    const QByteArray bytes = file.readAll();
    const bool utf8 = QString::fromUtf8(bytes).toUtf8() == bytes;
    const QString text = utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);

    QString section;
    bool haveSection = false;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            section = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            haveSection = true;
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!haveSection || eq < 0)
            continue;
        m_entries.push_back({section, line.left(eq).trimmed(), line.mid(eq + 1).trimmed()});
    }
}

QString IniFile::readString(const QString& section, const QString& key) const
{
    for (const Entry& e : m_entries) {
        if (e.section.compare(section, Qt::CaseInsensitive) == 0 &&
            e.key.compare(key, Qt::CaseInsensitive) == 0)
            return e.value;
    }
    return {};
}
