#pragma once

#include <QString>

#include <vector>

// Read-only INI file with the Windows profile rules: section and key names match
// regardless of letter case, blanks around names and values are ignored, the first
// of two equal keys in a section counts, and anything missing reads as "".
class IniFile
{
public:
    explicit IniFile(const QString& path);

    QString readString(const QString& section, const QString& key) const;

private:
    struct Entry
    {
        QString section;
        QString key;
        QString value;
    };
    std::vector<Entry> m_entries;
};
