#pragma once

#include <QString>

// The folder of the running executable, where "Conexao.ini" and "SemFoto.jpg" live.
namespace ProgramFolder {

QString path();
QString file(const QString& name);

// Tests point the program at a folder of their own.
void overrideForTests(const QString& folder);

} // namespace ProgramFolder
