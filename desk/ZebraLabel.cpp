#include "desk/ZebraLabel.h"

#include "config/Win1252.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace {

// Blanks and control characters at both ends, as the label's trim understands them.
QString trimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= u' ')
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= u' ')
        --end;
    return text.mid(begin, end - begin);
}

constexpr char kEscape = '_'; // ^FH's default escape character

bool isControl(char c)
{
    return c == '^' || c == '~';
}

// head + "^FD" + value + "^FS". A value that holds "^" or "~" would otherwise start a
// printer command; it goes out under ^FH with those bytes (and the escape character
// itself) as _XX, so the printer shows it exactly as typed.
QByteArray dataField(const char* head, const QString& value)
{
    const QByteArray bytes = Win1252::encode(value);
    QByteArray line(head);
    if (std::none_of(bytes.begin(), bytes.end(), isControl)) {
        line += "^FD" + bytes + "^FS";
        return line;
    }
    line += "^FH^FD";
    for (const char c : bytes) {
        if (isControl(c) || c == kEscape) {
            line += kEscape;
            line += QByteArray(1, c).toHex().toUpper();
        } else {
            line += c;
        }
    }
    line += "^FS";
    return line;
}

std::runtime_error ioError(const char* action, const QString& destination, int error)
{
    return std::runtime_error(
        QStringLiteral("Erro de E/S ao %1 \"%2\" para a etiqueta: %3")
            .arg(QString::fromUtf8(action), destination, QString::fromLocal8Bit(std::strerror(error)))
            .toStdString());
}

// Closes on every road out of write(); the checked close of the success road releases
// it first.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

} // namespace

QByteArray ZebraLabel::bytes() const
{
    const QString name = trimBlanks(nome);
    const QString document = trimBlanks(docto);
    const QString locality = trimBlanks(localidade);

    const QByteArray lines[] = {
        "^XA",
        "^XA",
        "^PRC^FS",
        "^LH16,1^FS",
        "^LL424^FS",
        "^PQ1^FS", // one copy
        "^FO016,006^GB768,392,2^FS",
        dataField("^FO026,018^A0N,30,30", name),
        "^FO356,018^A0N,25,30^FDIDENTIFICACAO DE VISITANTE^FS",
        "^FO18,048^GB768,0,2^FS",
        "^FO026,060^ADN,18,10^FDDOCTO^FS",
        "^FO512,060^ADN,18,10^FDRES^FS",
        dataField("^FO096,060^A0N,30,25", document),
        dataField("^FO026,090^A0N,30,25", locality),
        "^FO18,120^GB480,0,2^FS",
        "^FO18,182^GB480,0,2^FS",
        "^FO026,190^ADN,18,10^FDLOTE DO FORN.^FS",
        dataField("^FO026,213^A0N,30,25", document),
        "^FO18,243^GB480,0,2^FS",
        "^FO0256,243^GB0,56,2^FS",
        dataField("^FO312,267^A0N,30,25", data),
        "^FO18,297^GB768,0,2^FS",
        "^FO0496,48^GB0,250,2^FS",
        dataField("^FO52,308^BCN,55,Y,N", docto), // the barcode carries the document untrimmed
        "^XZ",
    };
    static_assert(std::size(lines) == 25);

    QByteArray label;
    for (const QByteArray& line : lines)
        label += line + "\r\n";
    return label;
}

void ZebraLabel::write(const QString& destination, const QByteArray& bytes)
{
    const QByteArray path = QFile::encodeName(destination);
    // O_CREAT only matters for an ordinary file; a device file is opened as it is.
    // O_NOCTTY keeps a serial port from becoming the program's controlling terminal.
    int fd;
    do {
        fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw ioError("abrir", destination, errno);
    FileDescriptor file(fd);

    const char* next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(file.get(), next, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw ioError("gravar em", destination, errno);
        }
        if (written == 0) // a device that takes nothing would loop for ever
            throw ioError("gravar em", destination, EIO);
        next += written;
        left -= written;
    }

    // Linux releases the descriptor even when close fails, so it is never retried.
    if (::close(file.release()) != 0)
        throw ioError("fechar", destination, errno);
}
