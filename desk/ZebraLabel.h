#pragma once

#include <QByteArray>
#include <QString>

// The visitor's identification label in ZPL II: a pure builder of the printer's bytes
// and the writer that hands them to the destination named by PortaEtiqueta.
struct ZebraLabel
{
    // Taken from the desk as shown; the builder trims what the label trims.
    QString nome;
    QString docto;
    QString localidade;
    QString data; // the desk's date, already in the short date format

    // The 25 command lines, each ended by CR LF, in Windows-1252. A value holding a ZPL
    // control character is written hex-escaped so that it prints as typed. Throws
    // std::runtime_error when a character has no Windows-1252 byte.
    QByteArray bytes() const;

    // Opens the destination (an ordinary file or a device file such as a printer or
    // serial port) for writing, replacing its content, and writes the bytes. Throws
    // std::runtime_error naming the destination at the first failing open, write or
    // close; the destination is closed in every case.
    static void write(const QString& destination, const QByteArray& bytes);
};
