#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the code page of the database's text and of the label printer.
namespace Win1252 {

QString decode(const QByteArray& bytes);

// Throws std::runtime_error naming the text when a character has no Windows-1252 byte;
// nothing is ever written as "?".
QByteArray encode(const QString& text);

} // namespace Win1252
