#include "config/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString& overridden()
{
    static QString folder;
    return folder;
}
} // namespace

namespace ProgramFolder {

QString path()
{
    if (!overridden().isEmpty())
        return overridden();
    // The program's own path, not the working folder.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

QString file(const QString& name)
{
    return QDir(path()).filePath(name);
}

void overrideForTests(const QString& folder)
{
    overridden() = folder;
}

} // namespace ProgramFolder
