#include "capture/Jpeg.h"
#include "desk/WavPlayer.h"
#include "desk/widgets/MaskedDateEdit.h"
#include "desk/widgets/PhotoBox.h"

#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>

namespace {

using namespace std::chrono_literals;

TEST(MaskedDateEditTest, KeepsSlashesAndMarksEmptyPlacesAndTakesDigitsOnly)
{
    const struct
    {
        const char* typed;
        const char* shown;
    } cases[] = {
        {"31122020", "31/12/2020"},
        {"12", "12/__/____"},
        {"1a2b0", "12/0_/____"},
        {"", "__/__/____"},
    };
    for (const auto& c : cases) {
        MaskedDateEdit edit;
        edit.setCursorPosition(0);
        QTest::keyClicks(&edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(edit.maskedText(), QString::fromLatin1(c.shown)) << c.typed;
    }
    MaskedDateEdit edit;
    edit.setMaskedText(QStringLiteral("30/12/1899"));
    EXPECT_EQ(edit.maskedText(), "30/12/1899");
}

TEST(PhotoBoxTest, KeepsJpegBytesAndEncodesBitmapsWhenStored)
{
    QImage picture(32, 24, QImage::Format_RGB888);
    picture.fill(Qt::darkCyan);
    const QByteArray jpeg = Jpeg::encode(picture, 60);

    PhotoBox box;
    EXPECT_TRUE(box.toJpeg().isEmpty());
    box.setJpeg(jpeg);
    EXPECT_EQ(box.kind(), PhotoBox::Kind::Jpeg);
    EXPECT_EQ(box.toJpeg(), jpeg);

    // A failed decode keeps the picture there was.
    EXPECT_THROW(box.setJpeg(QByteArray("\xFF\xD8 broken", 9)), JpegError);
    EXPECT_EQ(box.toJpeg(), jpeg);

    box.setBitmap(picture);
    EXPECT_EQ(box.kind(), PhotoBox::Kind::Bitmap);
    EXPECT_EQ(box.toJpeg(), Jpeg::encode(picture, 90));

    box.clear();
    EXPECT_TRUE(box.isEmpty());
    EXPECT_THROW(box.loadFromFile(QStringLiteral("/nonexistent/SemFoto.jpg")), std::runtime_error);
    EXPECT_TRUE(box.isEmpty());
}

// A short mono 8 kHz 16-bit PCM file of silence.
QByteArray silentWav(int samples)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint32 data = quint32(samples) * 2;
    out.writeRawData("RIFF", 4);
    out << quint32(36 + data);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(16000) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << data;
    bytes.append(QByteArray(int(data), '\0'));
    return bytes;
}

TEST(WavPlayerTest, PlaysToTheEndOrGivesUpWithoutHanging)
{
    QTemporaryDir dir;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    const QString good = write(QStringLiteral("ok.wav"), silentWav(800));
    const QString broken = write(QStringLiteral("broken.wav"), QByteArray("RIFF....WAVEjunk", 16));

    EXPECT_TRUE(playWavAndWait(good, 5s, "fakesink"));
    EXPECT_FALSE(playWavAndWait(broken, 5s, "fakesink"));
    EXPECT_FALSE(playWavAndWait(dir.filePath(QStringLiteral("missing.wav")), 5s, "fakesink"));
    EXPECT_FALSE(playWavAndWait(good, 5s, "no-such-sink-element"));
}

} // namespace
