#include "config/Win1252.h"

#include <array>
#include <stdexcept>

namespace {
// 0x80..0x9F; the five bytes Windows leaves undefined map to the C1 controls of the
// same value, so every byte decodes and re-encodes to itself.
constexpr std::array<char16_t, 32> high = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

namespace Win1252 {

QString decode(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b <= 0x9F) ? QChar(high[b - 0x80]) : QChar(b);
    }
    return text;
}

QByteArray encode(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.append(static_cast<char>(u));
            continue;
        }
        int found = -1;
        for (int k = 0; k < int(high.size()); ++k) {
            if (high[k] == u) {
                found = k;
                break;
            }
        }
        if (found < 0) {
            const QString bad =
                text.at(i).isHighSurrogate() && i + 1 < text.size() ? text.mid(i, 2) : text.mid(i, 1);
            throw std::runtime_error(
                QStringLiteral("O texto \"%1\" contém o caractere \"%2\", que não existe no Windows-1252.")
                    .arg(text, bad)
                    .toStdString());
        }
        bytes.append(static_cast<char>(0x80 + found));
    }
    return bytes;
}

} // namespace Win1252
