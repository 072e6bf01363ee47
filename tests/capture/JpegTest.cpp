#include "capture/Jpeg.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>
#include <jerror.h>

namespace {

QImage testPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor(200, 30, 40));
    QPainter p(&image);
    p.fillRect(0, 0, width / 2, height / 2, QColor(20, 180, 60));
    p.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, QColor(10, 20, 220));
    return image;
}

int maxChannelError(const QImage& a, const QImage& b, const QPoint& at)
{
    const QColor ca = a.pixelColor(at), cb = b.pixelColor(at);
    return std::max(
        {std::abs(ca.red() - cb.red()), std::abs(ca.green() - cb.green()), std::abs(ca.blue() - cb.blue())});
}

// Offset of the first marker `code` in a JPEG file, or -1.
int markerOffset(const QByteArray& jpeg, unsigned char code)
{
    for (int i = 2; i + 3 < jpeg.size();) {
        if (uchar(jpeg[i]) != 0xFF)
            return -1;
        const uchar marker = uchar(jpeg[i + 1]);
        if (marker == code)
            return i;
        if (marker == 0xDA)
            return -1;
        i += 2 + (uchar(jpeg[i + 2]) << 8 | uchar(jpeg[i + 3]));
    }
    return -1;
}

} // namespace

TEST(Jpeg, EncodesBaselineJfifThatDecodesToTheSamePicture)
{
    const QImage original = testPicture(64, 48);
    const QByteArray jpeg = Jpeg::encode(original);

    ASSERT_GT(jpeg.size(), 4);
    EXPECT_EQ(uchar(jpeg[0]), 0xFF);
    EXPECT_EQ(uchar(jpeg[1]), 0xD8);
    const int app0 = markerOffset(jpeg, 0xE0);
    ASSERT_GE(app0, 0);
    EXPECT_EQ(jpeg.mid(app0 + 4, 5), QByteArray("JFIF", 5));
    EXPECT_GE(markerOffset(jpeg, 0xC0), 0) << "baseline frame expected";
    EXPECT_EQ(markerOffset(jpeg, 0xC2), -1) << "must not be progressive";
    const int sof = markerOffset(jpeg, 0xC0);
    EXPECT_EQ(uchar(jpeg[sof + 9]), 3) << "three colour components";

    const QImage decoded = Jpeg::decode(jpeg);
    ASSERT_EQ(decoded.size(), original.size());
    for (const QPoint at : {QPoint(5, 5), QPoint(60, 5), QPoint(60, 44), QPoint(5, 44)})
        EXPECT_LE(maxChannelError(original, decoded, at), 8) << at.x() << "," << at.y();
}

TEST(Jpeg, QualityNinetyGivesTheStandardScaledLumaTable)
{
    // The standard luminance table scaled for quality 90 starts 3, 2, 2 (zig-zag order).
    const QByteArray jpeg = Jpeg::encode(testPicture(16, 16));
    const int dqt = markerOffset(jpeg, 0xDB);
    ASSERT_GE(dqt, 0);
    EXPECT_EQ(uchar(jpeg[dqt + 4]), 0) << "8-bit table 0";
    EXPECT_EQ(uchar(jpeg[dqt + 5]), 3);
    EXPECT_EQ(uchar(jpeg[dqt + 6]), 2);
    EXPECT_EQ(uchar(jpeg[dqt + 7]), 2);

    const QByteArray low = Jpeg::encode(testPicture(16, 16), 50);
    EXPECT_EQ(uchar(low[markerOffset(low, 0xDB) + 5]), 16);
}

TEST(Jpeg, EncodesPicturesOfAnyPixelFormat)
{
    QImage argb = testPicture(9, 7).convertToFormat(QImage::Format_ARGB32);
    const QImage decoded = Jpeg::decode(Jpeg::encode(argb));
    EXPECT_EQ(decoded.size(), QSize(9, 7));
    EXPECT_EQ(decoded.format(), QImage::Format_RGB888);
}

struct BadJpeg
{
    const char* name;
    QByteArray bytes;
    int messageCode;
};

class JpegDecodeError : public ::testing::TestWithParam<BadJpeg>
{};

TEST_P(JpegDecodeError, ThrowsWithTheDecodersMessageNumber)
{
    const BadJpeg& c = GetParam();
    try {
        Jpeg::decode(c.bytes);
        FAIL() << "no exception";
    } catch (const JpegError& e) {
        EXPECT_EQ(e.messageCode(), c.messageCode);
        EXPECT_EQ(std::string(e.what()), "JPEG error #" + std::to_string(c.messageCode));
    }
}

INSTANTIATE_TEST_SUITE_P(Jpeg, JpegDecodeError,
                         ::testing::Values(BadJpeg{"empty", QByteArray(), JERR_INPUT_EMPTY},
                                           BadJpeg{"notJpeg", QByteArray("GIF89a........"), JERR_NO_SOI},
                                           BadJpeg{"onlySoi", QByteArray("\xFF\xD8\xFF\xD9", 4),
                                                   JERR_NO_IMAGE}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Jpeg, TruncatedFileStillDecodesToItsFullSize)
{
    // Missing data is a warning for libjpeg (grey fill), not an error.
    QImage noisy(256, 256, QImage::Format_RGB888);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            noisy.setPixel(x, y, qRgb((x * 37 + y * 11) & 0xFF, (x * y) & 0xFF, (x ^ y) & 0xFF));
    const QByteArray jpeg = Jpeg::encode(noisy);
    const QImage decoded = Jpeg::decode(jpeg.left(jpeg.size() * 3 / 4));
    EXPECT_EQ(decoded.size(), QSize(256, 256));
}

TEST(Jpeg, DecodeOntoKeepsWhatTheJpegDoesNotCover)
{
    const QByteArray jpeg = Jpeg::encode(testPicture(8, 8));
    QImage target(16, 4, QImage::Format_BGR888);
    target.fill(Qt::white);
    Jpeg::decodeOnto(reinterpret_cast<const unsigned char*>(jpeg.constData()), size_t(jpeg.size()), target);

    // Top-left quarter of the test picture is green; blue-first memory must still read green.
    const QColor inside = target.pixelColor(1, 1);
    EXPECT_GT(inside.green(), 150);
    EXPECT_LT(inside.red(), 60);
    EXPECT_EQ(target.pixelColor(12, 2), QColor(Qt::white));
}
