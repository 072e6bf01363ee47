#pragma once

#include <QString>

// The program's fixed data folder, an absolute path that does not follow the
// executable (the Linux counterpart of the installation's ProgramData folder).
inline const QString kFixedFolder = QStringLiteral("/var/lib/vexorin65");

// The warning sound played at shut-down while badges are still open.
inline const QString kWarningSoundFile = kFixedFolder + QStringLiteral("/Erro.wav");
