#include "ScriptedCapture.h"

#include "capture/FourCC.h"
#include "capture/Jpeg.h"
#include "capture/TVideoImage.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Bgr = std::array<int, 3>;

Bgr pixel(const QImage& image, int x, int y)
{
    const uchar* p = image.constScanLine(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

// A TVideoImage whose stream has the given format, from a scripted camera.
struct VideoStream
{
    void start(int width, int height, std::uint32_t fourCC)
    {
        auto camera = platform.addDevice(QStringLiteral("Cam"));
        camera->current = scriptedFormat(width, height, fourCC);
        camera->capabilities = {camera->current};
        image = std::make_unique<TVideoImage>(&platform);
        ASSERT_EQ(image->VideoStart(QString()), 0);
        ASSERT_EQ(image->Bitmap().format(), QImage::Format_BGR888);
    }

    bool unpack(const Bytes& frame) { return image->UnpackFrame(std::int32_t(frame.size()), frame.data()); }

    ScriptedPlatform platform;
    std::unique_ptr<TVideoImage> image;
};

class Converter : public ::testing::Test, public VideoStream
{};

TEST_F(Converter, TablesHoldTheRoundedProductsWithHalvesToEven)
{
    start(2, 2, FourCC_YUY2);
    image->PrepareTables();
    EXPECT_EQ(image->ValueY_298[250], 74520);
    EXPECT_EQ(image->ValueV_409[172], 13208);
    EXPECT_EQ(image->ValueY_298[255], 76011);
    EXPECT_EQ(image->ValueU_100[255], -25574);
    EXPECT_EQ(image->ValueU_516[0], -70870);
    EXPECT_EQ(image->ValueU_516[255], 60815);
    EXPECT_EQ(image->ValueV_409[0], -57068);
    EXPECT_EQ(image->ValueV_409[255], 47121);
    EXPECT_EQ(image->ValueV_208[0], 34707);
    EXPECT_EQ(image->ValueV_208[255], -18363);

    // Every entry is its exact value rounded; where that is a half (Y 250, U516 193, V409
    // 172) the even neighbour.
    auto rounded = [](std::int32_t value, double exact) {
        const double distance = std::abs(value - exact);
        return distance < 0.5 - 1e-6 || (distance < 0.5 + 1e-6 && value % 2 == 0);
    };
    for (int i = 0; i < 256; ++i) {
        EXPECT_TRUE(rounded(image->ValueY_298[size_t(i)], 298.082 * i)) << i;
        EXPECT_TRUE(rounded(image->ValueU_100[size_t(i)], -100.291 * i)) << i;
        EXPECT_TRUE(rounded(image->ValueU_516[size_t(i)], 516.412 * i - 70870.016)) << i;
        EXPECT_TRUE(rounded(image->ValueV_409[size_t(i)], 408.583 * i - 57067.776)) << i;
        EXPECT_TRUE(rounded(image->ValueV_208[size_t(i)], -208.12 * i + 34707.456)) << i;
    }
    EXPECT_EQ(image->ValueU_516[193], 28798);

    for (const auto& [k, v] : std::vector<std::pair<int, int>>{
             {-1023, 0}, {-1, 0}, {0, 0}, {1, 1}, {128, 128}, {255, 255}, {256, 255}, {1023, 255}})
        EXPECT_EQ(image->ValueClip(k), v) << k;
}

struct Yuy2Case
{
    const char* name;
    Bytes bytes;
    Bgr left, right;
};

class Yuy2Examples : public Converter, public ::testing::WithParamInterface<Yuy2Case>
{};

TEST_P(Yuy2Examples, ConvertBitForBit)
{
    const Yuy2Case& c = GetParam();
    start(2, 1, FourCC_YUY2);
    ASSERT_TRUE(unpack(c.bytes));
    EXPECT_EQ(pixel(image->Bitmap(), 0, 0), c.left);
    EXPECT_EQ(pixel(image->Bitmap(), 1, 0), c.right);
}

INSTANTIATE_TEST_SUITE_P(
    Converter, Yuy2Examples,
    ::testing::Values(Yuy2Case{"black", {16, 128, 16, 128}, {0, 0, 0}, {0, 0, 0}},
                      Yuy2Case{"white", {235, 128, 235, 128}, {255, 255, 255}, {255, 255, 255}},
                      Yuy2Case{"grey", {128, 128, 128, 128}, {130, 130, 130}, {130, 130, 130}},
                      Yuy2Case{"zeros", {0, 0, 0, 0}, {0, 135, 0}, {0, 135, 0}},
                      Yuy2Case{"ones", {255, 255, 255, 255}, {255, 125, 255}, {255, 125, 255}},
                      Yuy2Case{"pairSharesChroma", {16, 90, 235, 240}, {0, 0, 178}, {178, 178, 255}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Converter, EveryLumaAndChromaCombinationFollowsThePixelRule)
{
    // Row u * 256 + v holds the 256 luma values with that chroma pair.
    start(256, 256 * 256, FourCC_YUY2);
    Bytes frame(size_t(256) * 2 * 256 * 256);
    for (int row = 0; row < 256 * 256; ++row) {
        std::uint8_t* p = frame.data() + size_t(row) * 512;
        for (int pair = 0; pair < 128; ++pair, p += 4) {
            p[0] = std::uint8_t(2 * pair);
            p[1] = std::uint8_t(row >> 8);
            p[2] = std::uint8_t(2 * pair + 1);
            p[3] = std::uint8_t(row & 0xFF);
        }
    }
    ASSERT_TRUE(unpack(frame));

    const TVideoImage& t = *image;
    auto clip = [&](int s) {
        return int(t.ValueClip(s / 256));
    }; // truncating division
    int mismatches = 0;
    for (int row = 0; row < 256 * 256 && mismatches < 10; ++row) {
        const int u = row >> 8, v = row & 0xFF;
        const uchar* out = image->Bitmap().constScanLine(row);
        for (int y = 0; y < 256; ++y, out += 3) {
            const int l = t.ValueY_298[size_t(y)];
            const Bgr expected{clip(l + t.ValueU_516[size_t(u)]),
                               clip(l + t.ValueU_100[size_t(u)] + t.ValueV_208[size_t(v)]),
                               clip(l + t.ValueV_409[size_t(v)])};
            if (Bgr{out[0], out[1], out[2]} != expected) {
                ADD_FAILURE() << "Y " << y << " U " << u << " V " << v;
                ++mismatches;
            }
        }
    }
}

// A 4 x 6 4:2:0 frame: luma rises along each row, each chroma row has its own U and V.
Bytes planar(bool vFirst)
{
    Bytes luma, u, v;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 4; ++x)
            luma.push_back(std::uint8_t(40 + 30 * x + 5 * y));
    for (int row = 0; row < 3; ++row)
        for (int pair = 0; pair < 2; ++pair) {
            u.push_back(std::uint8_t(60 + 50 * row + 10 * pair));
            v.push_back(std::uint8_t(200 - 60 * row - 10 * pair));
        }
    Bytes frame = luma;
    frame.insert(frame.end(), (vFirst ? v : u).begin(), (vFirst ? v : u).end());
    frame.insert(frame.end(), (vFirst ? u : v).begin(), (vFirst ? u : v).end());
    return frame;
}

TEST_F(Converter, Yv12WithSwappedPlanesGivesTheI420Picture)
{
    start(4, 6, FourCC_I420);
    ASSERT_TRUE(unpack(planar(false)));
    const QImage i420 = image->Bitmap().copy();

    image.reset();
    platform.devices.clear();
    start(4, 6, FourCC_YV12);
    ASSERT_TRUE(unpack(planar(true)));
    EXPECT_EQ(image->Bitmap(), i420);
}

TEST_F(Converter, FourTwoZeroRowsShareTheChromaRowOfHalfTheirIndex)
{
    start(4, 6, FourCC_IYUV);
    const Bytes frame = planar(false);
    ASSERT_TRUE(unpack(frame));
    const QImage picture = image->Bitmap().copy();

    // The same pixels through the packed path: one 4 x 1 YUY2 frame per bitmap row.
    VideoStream packed;
    packed.start(4, 1, FourCC_YUY2);
    for (int y = 0; y < 6; ++y) {
        const int chromaRow = y / 2;
        Bytes row;
        for (int pair = 0; pair < 2; ++pair) {
            row.push_back(frame[size_t(4 * y + 2 * pair)]);
            row.push_back(frame[24 + size_t(2 * chromaRow + pair)]);
            row.push_back(frame[size_t(4 * y + 2 * pair + 1)]);
            row.push_back(frame[30 + size_t(2 * chromaRow + pair)]);
        }
        ASSERT_TRUE(packed.unpack(row));
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(pixel(picture, x, y), pixel(packed.image->Bitmap(), x, 0)) << x << "," << y;
    }
}

struct RgbCase
{
    const char* name;
    int height; // negative: top row first
    bool redFirst;
};

class RgbFrames : public Converter, public ::testing::WithParamInterface<RgbCase>
{};

TEST_P(RgbFrames, EndUpright)
{
    const RgbCase& c = GetParam();
    auto camera = platform.addDevice(QStringLiteral("Cam"));
    camera->current = scriptedFormat(2, c.height, FourCC_RGB24);
    camera->current.redFirst = c.redFirst;
    image = std::make_unique<TVideoImage>(&platform);
    ASSERT_EQ(image->VideoStart(QString()), 0);
    ASSERT_EQ(image->VideoFourCC(), 0u);

    // Two rows of two pixels; the image's top row is blue-ish, its bottom row red-ish.
    const Bytes top{200, 10, 20, 201, 11, 21}, bottom{30, 40, 250, 31, 41, 251};
    Bytes frame = c.height < 0 ? top : bottom;
    const Bytes& second = c.height < 0 ? bottom : top;
    frame.insert(frame.end(), second.begin(), second.end());
    if (c.redFirst)
        for (size_t i = 0; i < frame.size(); i += 3)
            std::swap(frame[i], frame[i + 2]);

    ASSERT_TRUE(unpack(frame));
    EXPECT_EQ(pixel(image->Bitmap(), 0, 0), (Bgr{200, 10, 20}));
    EXPECT_EQ(pixel(image->Bitmap(), 1, 0), (Bgr{201, 11, 21}));
    EXPECT_EQ(pixel(image->Bitmap(), 0, 1), (Bgr{30, 40, 250}));
    EXPECT_EQ(pixel(image->Bitmap(), 1, 1), (Bgr{31, 41, 251}));
}

INSTANTIATE_TEST_SUITE_P(Converter, RgbFrames,
                         ::testing::Values(RgbCase{"bottomUp", 2, false}, RgbCase{"topDown", -2, false},
                                           RgbCase{"topDownRedFirst", -2, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The bitmap as it must look after the unknown-compression text was written over `before`.
QImage withUnknownText(QImage before, const QString& second)
{
    QPainter p(&before);
    p.setPen(Qt::black);
    p.setBackground(Qt::white);
    p.setBackgroundMode(Qt::OpaqueMode);
    const QFontMetrics m = p.fontMetrics();
    p.drawText(0, m.ascent(), QStringLiteral("Unknown compression"));
    p.drawText(0, m.height() + m.ascent(), second);
    return before;
}

struct MismatchCase
{
    const char* name;
    int width, height;
    std::uint32_t fourCC;
    std::int32_t goodSize; // 0: no size is accepted
    std::int32_t badSize;
    const char* secondLine;
};

class UnknownCompression : public Converter, public ::testing::WithParamInterface<MismatchCase>
{};

TEST_P(UnknownCompression, WritesTheSizeAndCodeOverTheLastPicture)
{
    const MismatchCase& c = GetParam();
    start(c.width, c.height, c.fourCC);
    if (c.goodSize > 0) {
        Bytes good(size_t(c.goodSize), 90);
        ASSERT_TRUE(unpack(good));
    }
    const QImage before = image->Bitmap().copy();

    Bytes bad(size_t(c.badSize), 90);
    ASSERT_TRUE(unpack(bad));
    const QImage after = image->Bitmap().copy();
    EXPECT_NE(after, before);
    EXPECT_EQ(after, withUnknownText(before, QString::fromLatin1(c.secondLine)));

    if (c.goodSize > 0) {
        Bytes good(size_t(c.goodSize), 90);
        ASSERT_TRUE(unpack(good));
        EXPECT_EQ(image->Bitmap(), before) << "the next good frame replaces the text";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Converter, UnknownCompression,
    ::testing::Values(
        MismatchCase{"yuy2", 640, 480, FourCC_YUY2, 614400, 614401, "DataSize: 614401  FourCC: YUY2"},
        MismatchCase{"rgb", 320, 240, 0, 230400, 230399, "DataSize: 230399  FourCC: RGB"},
        MismatchCase{"i420", 320, 240, FourCC_I420, 115200, 76800, "DataSize: 76800  FourCC: I420"},
        MismatchCase{"unknownCode", 64, 48, makeFourCC('N', 'V', '1', '2'), 0, 4608,
                     "DataSize: 4608  FourCC: NV12"},
        MismatchCase{"undecodableJpeg", 64, 48, FourCC_MJPG, 0, 500, "DataSize: 500  FourCC: MJPG"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Converter, MotionJpegFrameIsDrawnUnscaledAtTheTopLeft)
{
    start(64, 48, FourCC_MJPG);
    QImage picture(80, 30, QImage::Format_RGB888);
    picture.fill(QColor(250, 20, 20));
    const QByteArray jpeg = Jpeg::encode(picture);
    ASSERT_TRUE(unpack(Bytes(jpeg.begin(), jpeg.end())));

    const Bgr inside = pixel(image->Bitmap(), 40, 10);
    EXPECT_GT(inside[2], 230);
    EXPECT_LT(inside[0], 40);
    // Below the 30 rows of the JPEG the blank picture of the start shows.
    EXPECT_EQ(pixel(image->Bitmap(), 40, 40), (Bgr{255, 255, 255}));
}

TEST_F(Converter, NoDataDoesNothing)
{
    start(2, 1, FourCC_YUY2);
    const QImage before = image->Bitmap().copy();
    EXPECT_FALSE(image->UnpackFrame(4, nullptr));
    EXPECT_EQ(image->Bitmap(), before);
}

} // namespace
