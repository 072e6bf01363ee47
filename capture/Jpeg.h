#pragma once

#include <QByteArray>
#include <QImage>

#include <cstddef>
#include <stdexcept>
#include <string>

// JPEG through libjpeg(-turbo), with an error manager that turns the library's errors
// into exceptions instead of exit().
class JpegError : public std::runtime_error
{
public:
    JpegError(int messageCode, const std::string& detail)
        : std::runtime_error("JPEG error #" + std::to_string(messageCode)), m_code(messageCode),
          m_detail(detail)
    {}

    int messageCode() const { return m_code; }
    const std::string& detail() const { return m_detail; }

private:
    int m_code;
    std::string m_detail;
};

namespace Jpeg {

// Decodes a complete JPEG file image to a 24-bit picture; throws JpegError, whose text
// is "JPEG error #N" with the decoder's message number.
QImage decode(const QByteArray& bytes);

// Decodes onto the top-left corner of an existing 24-bit picture (Format_BGR888 or
// Format_RGB888), unscaled: what does not fit is cut off, what the JPEG does not cover
// keeps its pixels. Used for camera frames, so no intermediate picture is made.
void decodeOnto(const unsigned char* data, std::size_t size, QImage& target);

// Baseline JFIF, 24-bit colour, full size, the encoder's standard settings at the given
// quality (libjpeg scale).
QByteArray encode(const QImage& image, int quality = 90);

} // namespace Jpeg
