#pragma once

#include <QString>

#include <cstdint>

// Four-character codes: the first character in the lowest byte, so "YUY2" is 0x32595559.
constexpr std::uint32_t makeFourCC(char a, char b, char c, char d)
{
    return std::uint32_t(std::uint8_t(a)) | std::uint32_t(std::uint8_t(b)) << 8 |
           std::uint32_t(std::uint8_t(c)) << 16 | std::uint32_t(std::uint8_t(d)) << 24;
}

inline constexpr std::uint32_t FourCC_YUY2 = makeFourCC('Y', 'U', 'Y', '2');
inline constexpr std::uint32_t FourCC_YUYV = makeFourCC('Y', 'U', 'Y', 'V');
inline constexpr std::uint32_t FourCC_YUNV = makeFourCC('Y', 'U', 'N', 'V');
inline constexpr std::uint32_t FourCC_MJPG = makeFourCC('M', 'J', 'P', 'G');
inline constexpr std::uint32_t FourCC_I420 = makeFourCC('I', '4', '2', '0');
inline constexpr std::uint32_t FourCC_YV12 = makeFourCC('Y', 'V', '1', '2');
inline constexpr std::uint32_t FourCC_IYUV = makeFourCC('I', 'Y', 'U', 'V');
// The capability-list code of 24-bit RGB, blank included; a stream in it reports code 0.
inline constexpr std::uint32_t FourCC_RGB24 = makeFourCC('R', 'G', 'B', ' ');

// The code's characters, lowest byte first, cut at the first zero character.
inline QString fourCCText(std::uint32_t code)
{
    QString text;
    for (int i = 0; i < 4; ++i) {
        const char c = char((code >> (8 * i)) & 0xFF);
        if (c == '\0')
            break;
        text += QLatin1Char(c);
    }
    return text;
}

// A name such as GStreamer's "YUY2" or "GRAY8" as a code: its first four characters,
// zero-padded when shorter.
inline std::uint32_t fourCCFromName(const QByteArray& name)
{
    char c[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4 && i < name.size(); ++i)
        c[i] = name[i];
    return makeFourCC(c[0], c[1], c[2], c[3]);
}
